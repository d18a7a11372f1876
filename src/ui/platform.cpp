#include "ui/platform.h"

#include <cstdlib>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace lorimand {

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("lorimand::QtPlatform", text);
}

// Closes a notice when the window it belongs to is closed or hidden by the
// program, so that no notice outlives its window and keeps the program
// running; a window the user minimises keeps its notices.
class NoticeOwner final : public QObject
{
public:
    NoticeOwner(QMessageBox &notice, QWidget &window) : QObject(&notice), notice_(notice)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject * /*watched*/, QEvent *event) override
    {
        if (event->type() == QEvent::Hide && !event->spontaneous()) {
            notice_.close();
        }
        return false;
    }

private:
    QMessageBox &notice_;
};

} // namespace

QMessageBox::StandardButton QtPlatform::showMessage(QWidget *parent, const QString &title,
                                                    const QString &text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton) {
        box.setDefaultButton(defaultButton);
    }
    // A Save offered in a message goes on to a file dialog, which its caption says.
    if (QAbstractButton *save = box.button(QMessageBox::Save)) {
        save->setText(translated(QT_TRANSLATE_NOOP("lorimand::QtPlatform", "Save...")));
    }
    const int chosen = box.exec();
    return static_cast<QMessageBox::StandardButton>(chosen);
}

void QtPlatform::showNotice(QWidget *parent, const QString &title, const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    if (parent != nullptr) {
        new NoticeOwner(*box, *parent->window());
    }
    box->show();
}

int QtPlatform::runDialog(QDialog &dialog)
{
    return dialog.exec();
}

QString QtPlatform::chooseFile(QWidget *parent, const QString &title, bool save)
{
    // QFileDialog asks before replacing a file, but takes
    // a name to save under in a folder that does not exist; the user then
    // chooses again.
    QFileDialog dialog(parent, title, lastFolder_,
                       translated(QT_TRANSLATE_NOOP("lorimand::QtPlatform",
                                                    "Text Documents (*.txt);;All Files (*)")));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return {};
        }
        QString chosen = dialog.selectedFiles().constFirst();
        const QString folder = QFileInfo(chosen).absolutePath();
        if (QFileInfo(folder).isDir()) {
            lastFolder_ = folder;
            return chosen;
        }
        showMessage(parent, title,
                    translated(QT_TRANSLATE_NOOP("lorimand::QtPlatform",
                                                 "The folder \"%1\" does not exist.\n\nChoose "
                                                 "a folder that exists."))
                        .arg(QDir::toNativeSeparators(folder)),
                    QMessageBox::Ok, QMessageBox::Ok);
    }
}

QString QtPlatform::chooseFileToOpen(QWidget *parent, const QString &title)
{
    return chooseFile(parent, title, false);
}

QString QtPlatform::chooseFileToSave(QWidget *parent, const QString &title)
{
    return chooseFile(parent, title, true);
}

bool QtPlatform::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

void QtPlatform::endProgram()
{
    // At once: no event loop, no close handling, no settings written.
    std::_Exit(EXIT_FAILURE);
}

QString QtPlatform::programFolder() const
{
    return QCoreApplication::applicationDirPath();
}

QString QtPlatform::userTableFolder() const
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/lorimand");
}

QString QtPlatform::userConfigFolder() const
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

} // namespace lorimand
