// A main window in a temporary program folder, with scripted dialogs, a file
// layer that can fail and a generator that can be made to fail its self-test.
#pragma once

#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>

#include "bytes.h"
#include "engine/generator.h"
#include "engine/keyshift.h"
#include "failingfilesystem.h"
#include "generators.h"
#include "scriptedplatform.h"
#include "ui/main/bytelineedit.h"
#include "ui/main/mainwindow.h"
#include "ui/text/bytetextedit.h"

namespace lorimand::test {

// What the key-shift cipher makes of text with key, for comparing with the window.
inline std::string withKey(const std::string &text, Direction direction,
                           const std::string &key = "TarnVeli")
{
    RuntimeGenerator generator;
    return applyShift(text, shiftForKey(key, generator), direction);
}

struct MainWindowFixture
{
    QTemporaryDir folder;
    ScriptedPlatform platform{folder.path()};
    FailingFileSystem files;
    SwitchableGenerator generator;
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>(platform, files, generator);

    template <typename T> T *child(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    ByteTextEdit *normal() const { return child<ByteTextEdit>("Normal"); }
    ByteTextEdit *encoded() const { return child<ByteTextEdit>("Encoded"); }
    ByteLineEdit *key() const { return child<ByteLineEdit>("Key"); }
    QCheckBox *autoUpdate() const { return child<QCheckBox>("AutoUpdate"); }
    QCheckBox *maskKey() const { return child<QCheckBox>("MaskKey"); }
    QRadioButton *useKey() const { return child<QRadioButton>("UseKey"); }
    QRadioButton *useCustom() const { return child<QRadioButton>("UseCustom"); }
    QComboBox *codeName() const { return child<QComboBox>("CodeName"); }

    QString path(const QString &name) const { return folder.filePath(name); }

    void writeFile(const QString &name, const QByteArray &bytes) const
    {
        writeBytes(path(name), bytes);
    }

    QByteArray readFile(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace lorimand::test
