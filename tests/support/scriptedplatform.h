// A platform whose dialogs answer what the test chose beforehand and which
// records every request, so no test waits on a real modal dialog.
#pragma once

#include <functional>

#include <QDialog>
#include <QMessageBox>
#include <QQueue>
#include <QStringList>
#include <QUrl>

#include "ui/platform.h"

namespace lorimand::test {

struct ShownMessage
{
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
};

class ScriptedPlatform final : public Platform
{
public:
    explicit ScriptedPlatform(QString programFolder = {}) : folder(std::move(programFolder)) {}

    QMessageBox::StandardButton showMessage(QWidget *, const QString &title, const QString &text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) override
    {
        messages.append({title, text, buttons, defaultButton});
        if (!answers.isEmpty()) {
            return answers.dequeue();
        }
        return buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok;
    }

    QString chooseFileToOpen(QWidget *, const QString &title) override
    {
        openTitles.append(title);
        return fileChoices.isEmpty() ? QString() : fileChoices.dequeue();
    }

    QString chooseFileToSave(QWidget *, const QString &title) override
    {
        saveTitles.append(title);
        return fileChoices.isEmpty() ? QString() : fileChoices.dequeue();
    }

    // The test's answer sees the dialog as the user would and may work it; the
    // dialog is rejected when there is no answer.
    int runDialog(QDialog &dialog) override
    {
        dialogTitles.append(dialog.windowTitle());
        return dialogAnswers.isEmpty() ? QDialog::Rejected : dialogAnswers.dequeue()(dialog);
    }

    void openUrl(const QUrl &url) override { openedUrls.append(url); }
    void endProgram() override { ++endProgramCalls; }
    [[nodiscard]] QString programFolder() const override { return folder; }
    [[nodiscard]] QString userTableFolder() const override { return userTables; }
    [[nodiscard]] QString userConfigFolder() const override { return userConfig; }

    // The script.
    QString folder;
    QString userTables; // none when empty
    QString userConfig;
    QQueue<QMessageBox::StandardButton> answers; // Cancel (or Ok) when empty
    QQueue<QString> fileChoices;                 // a cancelled dialog when empty
    QQueue<std::function<int(QDialog &)>> dialogAnswers;

    // The record.
    QList<ShownMessage> messages;
    QStringList openTitles;
    QStringList saveTitles;
    QStringList dialogTitles;
    QList<QUrl> openedUrls;
    int endProgramCalls = 0;
};

} // namespace lorimand::test
