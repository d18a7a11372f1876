#include "ui/platform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>

#include <cstdlib>

namespace lorimand {

namespace {
const QString kTextFileFilter = QStringLiteral("Text Documents (*.txt);;All Files (*)");
}

QString Platform::programFile(const QString &name) const
{
    QString path = programFolder();
    if (!path.endsWith(u'/'))
        path += u'/';
    return path + name;
}

QMessageBox::StandardButton QtPlatform::showMessage(QWidget *parent, const QString &title,
                                                    const QString &text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    const int chosen = box.exec();
    return static_cast<QMessageBox::StandardButton>(chosen);
}

QString QtPlatform::chooseFileToOpen(QWidget *parent, const QString &title)
{
    QFileDialog dialog(parent, title, QString(), kTextFileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtPlatform::chooseFileToSave(QWidget *parent, const QString &title)
{
    // QFileDialog asks before replacing a file and refuses a missing folder itself.
    QFileDialog dialog(parent, title, QString(), kTextFileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void QtPlatform::openUrl(const QUrl &url)
{
    QDesktopServices::openUrl(url);
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

} // namespace lorimand
