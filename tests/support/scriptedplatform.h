// A platform whose dialogs answer what the test chose beforehand and which
// records every request, so no test waits on a real modal dialog.
#pragma once

#include <functional>

#include <QDialog>
#include <QFileInfo>
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
    QWidget *parent = nullptr;
};

class ScriptedPlatform final : public Platform
{
public:
    explicit ScriptedPlatform(QString programFolder = {}) : folder(std::move(programFolder)) {}

    QMessageBox::StandardButton showMessage(QWidget *parent, const QString &title,
                                            const QString &text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) override
    {
        if (buildsMessageBoxes) {
            // What a real message costs: its box, laid out and drawn.
            QMessageBox box(QMessageBox::NoIcon, title, text, buttons, parent);
            (void)box.grab();
        }
        messages.append({title, text, buttons, defaultButton, parent});
        if (!answers.isEmpty()) {
            return answers.dequeue();
        }
        return buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::Ok;
    }

    void showNotice(QWidget *parent, const QString &title, const QString &text) override
    {
        notices.append({title, text, QMessageBox::Ok, QMessageBox::NoButton, parent});
    }

    QString chooseFileToOpen(QWidget *, const QString &title) override
    {
        openTitles.append(title);
        return choose();
    }

    QString chooseFileToSave(QWidget *, const QString &title) override
    {
        saveTitles.append(title);
        return choose();
    }

    // The test's answer sees the dialog as the user would and may work it; the
    // dialog is rejected when there is no answer.
    int runDialog(QDialog &dialog) override
    {
        dialogTitles.append(dialog.windowTitle());
        return dialogAnswers.isEmpty() ? QDialog::Rejected : dialogAnswers.dequeue()(dialog);
    }

    [[nodiscard]] QString lastFolder() const override { return folderLastChosen; }
    void setLastFolder(const QString &chosen) override { folderLastChosen = chosen; }

    bool openUrl(const QUrl &url) override
    {
        openedUrls.append(url);
        return opensUrls;
    }
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
    bool opensUrls = true; // false: no web browser can be started
    // Each message builds and draws its box, as a real one would, without waiting.
    bool buildsMessageBoxes = false;

    // The record.
    QList<ShownMessage> messages;
    QList<ShownMessage> notices; // the messages that do not wait
    QString folderLastChosen;    // set by a choice, as the real dialogs do
    QStringList openTitles;
    QStringList saveTitles;
    QStringList dialogTitles;
    QList<QUrl> openedUrls;
    int endProgramCalls = 0;

private:
    QString choose()
    {
        if (fileChoices.isEmpty()) {
            return {};
        }
        QString chosen = fileChoices.dequeue();
        folderLastChosen = QFileInfo(chosen).absolutePath();
        return chosen;
    }
};

} // namespace lorimand::test
