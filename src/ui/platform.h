// The platform services the windows use that a test must answer or observe:
// message boxes, file choice, the program's own modal dialogs, opening a web
// page, ending the program and the program folder. The program passes QtPlatform; tests pass a
// scripted one.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QUrl>

class QDialog;
class QWidget;

namespace lorimand {

class Platform
{
public:
    virtual ~Platform() = default;

    // A modal message box without icon; returns the button chosen. Escape and the
    // close box give the escape button: Cancel when offered, else the only button.
    // Save reads "Save...": it goes on to a file dialog.
    virtual QMessageBox::StandardButton
    showMessage(QWidget *parent, const QString &title, const QString &text,
                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) = 0;

    // A message without icon that does not wait: the window goes on at once,
    // and the message stays until the user closes it or its parent window
    // closes, which it belongs to (it never keeps the program running alone).
    virtual void showNotice(QWidget *parent, const QString &title, const QString &text) = 0;

    // The chosen file's path, or an empty string when the user cancels. Opening
    // accepts only existing files; saving refuses a missing folder and asks before
    // an existing file is replaced.
    virtual QString chooseFileToOpen(QWidget *parent, const QString &title) = 0;
    virtual QString chooseFileToSave(QWidget *parent, const QString &title) = 0;
    // Runs one of the program's own dialogs modally; returns its result
    // (QDialog::Accepted or Rejected).
    virtual int runDialog(QDialog &dialog) = 0;
    // The folder the file dialogs open in: that of the file last chosen, or one
    // set from the settings of an earlier run; empty for the working folder.
    [[nodiscard]] virtual QString lastFolder() const = 0;
    virtual void setLastFolder(const QString &folder) = 0;

    // False when no program could be started to open it.
    [[nodiscard]] virtual bool openUrl(const QUrl &url) = 0;

    // Ends the program at once, without any window's close handling. A scripted
    // platform records the call and returns, so callers return straight after it.
    virtual void endProgram() = 0;

    // The folder that holds the program file. Like every folder path Qt gives,
    // it ends in "/" only when it is the root.
    [[nodiscard]] virtual QString programFolder() const = 0;

    // The folder of the user's own code tables (it may not exist), and the user's
    // configuration folder for the program.
    [[nodiscard]] virtual QString userTableFolder() const = 0;
    [[nodiscard]] virtual QString userConfigFolder() const = 0;
};

// The real services: QMessageBox, QFileDialog, QDesktopServices, the process.
class QtPlatform final : public Platform
{
public:
    QMessageBox::StandardButton showMessage(QWidget *parent, const QString &title,
                                            const QString &text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) override;
    void showNotice(QWidget *parent, const QString &title, const QString &text) override;
    QString chooseFileToOpen(QWidget *parent, const QString &title) override;
    QString chooseFileToSave(QWidget *parent, const QString &title) override;
    int runDialog(QDialog &dialog) override;
    [[nodiscard]] QString lastFolder() const override { return lastFolder_; }
    void setLastFolder(const QString &folder) override { lastFolder_ = folder; }
    [[nodiscard]] bool openUrl(const QUrl &url) override;
    void endProgram() override;
    [[nodiscard]] QString programFolder() const override;
    [[nodiscard]] QString userTableFolder() const override;
    [[nodiscard]] QString userConfigFolder() const override;

private:
    QString chooseFile(QWidget *parent, const QString &title, bool save);

    QString lastFolder_;
};

} // namespace lorimand
