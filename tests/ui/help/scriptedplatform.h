// A scripted Platform for window tests: it records what the window asked for and
// gives the answers the test chose; nothing real is shown or opened.
#pragma once

#include "ui/platform.h"

#include <QList>
#include <QString>
#include <QUrl>

namespace lorimand::test {

class ScriptedPlatform final : public Platform
{
public:
    struct Message
    {
        QString title;
        QString text;
    };

    QMessageBox::StandardButton showMessage(QWidget *, const QString &title, const QString &text,
                                            QMessageBox::StandardButtons,
                                            QMessageBox::StandardButton) override
    {
        messages.append({title, text});
        return messageAnswer;
    }
    QString chooseFileToOpen(QWidget *, const QString &title) override
    {
        fileChoiceTitles.append(title);
        return fileToOpen;
    }
    QString chooseFileToSave(QWidget *, const QString &title) override
    {
        fileChoiceTitles.append(title);
        return fileToSave;
    }
    void openUrl(const QUrl &url) override { openedUrls.append(url); }
    void endProgram() override { ++endProgramCalls; }
    [[nodiscard]] QString programFolder() const override { return folder; }

    // The answers.
    QString folder;
    QMessageBox::StandardButton messageAnswer = QMessageBox::Ok;
    QString fileToOpen;
    QString fileToSave;

    // What was asked.
    QList<Message> messages;
    QStringList fileChoiceTitles;
    QList<QUrl> openedUrls;
    int endProgramCalls = 0;
};

} // namespace lorimand::test
