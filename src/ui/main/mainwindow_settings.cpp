// The main window's settings glue: the stored settings applied at start-up, the
// window's state collected and written at close, and the window geometry in the
// settings file's terms.
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QRadioButton>
#include <QScreen>

#include "engine/keyshift.h"
#include "startup/settingsfile.h"
#include "ui/conversions.h"
#include "ui/main/bytelineedit.h"
#include "ui/main/choicelist.h"
#include "ui/main/mainwindow.h"
#include "ui/main/windowgeometry.h"
#include "ui/platform.h"
#include "ui/programfiles.h"
#include "ui/text/bytetextedit.h"
#include "ui/twips.h"

namespace lorimand {

namespace {

// Check boxes hold 0 (clear), 1 (ticked) or 2 (greyed).
int checkValue(const QCheckBox &box)
{
    switch (box.checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

void setCheckValue(QCheckBox &box, int value)
{
    box.setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

// The program's settings file; the user's configuration folder holds it when the
// settings folder cannot.
SettingsFile settingsFileFor(const Platform &platform, FileSystem &files)
{
    return {files, ProgramFiles(platform, files).settingsFolder(), platform.userConfigFolder()};
}

} // namespace

std::string MainWindow::applySettings()
{
    settingsFile_.emplace(settingsFileFor(platform_, files_));
    const StoredSettings stored = settingsFile_->read();
    for (const std::string &warning : settingsFile_->warnings()) {
        showError(tr("The settings file is not used as it is.\n\n%1")
                      .arg(QString::fromStdString(warning)));
    }
    if (stored.key) {
        key_->setBytes(*stored.key);
    }
    keyLineNotApplied_ = stored.keyTooLong && !stored.key;
    // Setting the state runs the same handling as a click, so a ticked MaskKey masks the key.
    if (stored.maskKey) {
        setCheckValue(*maskKey_, *stored.maskKey);
    }
    if (stored.autoUpdate) {
        setCheckValue(*autoUpdate_, *stored.autoUpdate);
    }
    if (stored.useCustom) {
        useCustom_->setChecked(true);
    }
    if (stored.geometry) {
        // Where the platform refuses to place windows (Wayland), the size still applies.
        QList<QRect> screens;
        if (const QScreen *primary = QGuiApplication::primaryScreen()) {
            screens << primary->availableGeometry();
        }
        for (const QScreen *screen : QGuiApplication::screens()) {
            if (screen != QGuiApplication::primaryScreen()) {
                screens << screen->availableGeometry();
            }
        }
        setGeometry(clientGeometryFor(*stored.geometry, screens));
    }
    normal_->setCharset(stored.textCharset);
    askBeforeDiscarding_ = stored.askBeforeDiscarding;
    if (!stored.lastFolder.empty()) {
        platform_.setLastFolder(fromNativePath(stored.lastFolder));
    }
    defaultKey_ = key_->bytes();
    return stored.codeTableName;
}

bool MainWindow::saveSettings()
{
    // Both questions come before anything changes, so a Cancel at either leaves
    // the window as it was.
    const std::string key = key_->bytes();
    bool keepsDefaultKey = key.empty();
    if (!isStorableKey(key)) {
        // The user learns that the key is not kept, and may stay to change it.
        const auto answer = platform_.showMessage(
            dialogParent(), tr("Closing"),
            tr("The encryption key holds a line break or is longer than %1 MiB, which the "
               "settings file cannot hold, so this key cannot be remembered.  The settings keep "
               "the previous default key.")
                .arg(kLongestKey >> 20),
            QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
        if (answer == QMessageBox::Cancel) {
            return false;
        }
        keepsDefaultKey = true;
    } else if (!key.empty() && key != defaultKey_) {
        const auto answer = platform_.showMessage(
            dialogParent(), tr("Closing"),
            tr("The encryption key has changed.  Would you like to save the new key as the "
               "default?"),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
        if (answer == QMessageBox::Cancel) {
            return false;
        }
        keepsDefaultKey = answer == QMessageBox::No;
    }
    if (!typedTextMayGo()) {
        return false;
    }
    if (keepsDefaultKey) {
        key_->setBytes(defaultKey_);
    }

    if (!settingsFile_) {
        settingsFile_.emplace(settingsFileFor(platform_, files_));
    }
    if (const auto error = settingsFile_->write(currentSettings())) {
        showError(tr("The settings could not be saved.\n\n%1").arg(QString::fromStdString(*error)));
    }
    return true;
}

bool MainWindow::typedTextMayGo()
{
    if (!askBeforeDiscarding_) {
        return true;
    }
    const struct
    {
        bool typed;
        const ByteTextEdit &area;
        QString question;
        QString title;
    } areas[] = {
        {normalTyped_, *normal_, tr("Normal Text has not been saved."), tr("Save Normal Text As")},
        {encodedTyped_, *encoded_, tr("Encoded Text has not been saved."),
         tr("Save Encoded Text As")}};
    for (const auto &[typed, area, question, title] : areas) {
        if (!typed) {
            continue;
        }
        const auto answer = platform_.showMessage(
            dialogParent(), tr("Closing"), question,
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        if (answer == QMessageBox::Cancel ||
            (answer == QMessageBox::Save && !saveTextFile(area, title))) {
            return false;
        }
    }
    return true;
}

CurrentSettings MainWindow::currentSettings() const
{
    CurrentSettings current;
    current.key = key_->bytes();
    // The default key stands in for a key line that could not be applied: the
    // line stays in the file as it is rather than giving way to the default.
    current.keepsKeyLines = keyLineNotApplied_ && current.key == defaultKey_;
    current.maskKey = checkValue(*maskKey_);
    current.autoUpdate = checkValue(*autoUpdate_);
    current.useCustom = !useKey_->isChecked();
    current.codeTableName = codeName_->currentData().toByteArray().toStdString();
    current.geometry = savedGeometryFor(geometry());
    current.textCharset = normal_->charset();
    current.askBeforeDiscarding = askBeforeDiscarding_;
    current.lastFolder = nativePath(platform_.lastFolder());
    return current;
}

} // namespace lorimand
