// The main window's text-file commands: loading into an area (by the buttons,
// by a drop and from the command line), saving an area, and the warning before
// saving encoded text that would not load back as it is.
#include <QCheckBox>
#include <QFileInfo>
#include <QScopedValueRollback>

#include "engine/charset.h"
#include "engine/files.h"
#include "engine/lines.h"
#include "ui/busycursor.h"
#include "ui/conversions.h"
#include "ui/main/bytetextedit.h"
#include "ui/main/charsetoffer.h"
#include "ui/main/mainwindow.h"
#include "ui/platform.h"

namespace lorimand {

void MainWindow::translateCommandLineFile(const CommandLineRequest &request)
{
    ByteTextEdit &target = request.direction == Direction::Encode ? *normal_ : *encoded_;
    const ReadResult read = readTextFile(request.fileName);
    if (read.error) {
        showFileError(QStringLiteral("Cannot read"), *read.error);
        return;
    }
    const QScopedValueRollback updating(updating_, true);
    const std::string text = joinLines(read.bytes);
    target.setBytes(text);
    offerUtf8View(target, request.fileName, text);
    translate(request.direction);
}

void MainWindow::loadTextFile(ByteTextEdit &area, const QString &title, Direction then)
{
    if (!selfTestPasses())
        return;
    const QString path = platform_.chooseFileToOpen(this, title);
    if (path.isEmpty())
        return;
    loadFileInto(area, path, then);
}

void MainWindow::loadFileInto(ByteTextEdit &area, const QString &path, Direction then)
{
    std::optional<FileError> error;
    {
        BusyCursor busy;
        ReadResult read = readTextFile(path);
        error = std::move(read.error);
        if (!error) {
            const QScopedValueRollback updating(updating_, true);
            const std::string text = joinLines(read.bytes);
            area.setBytes(text);
            offerUtf8View(area, path, text);
            if (autoUpdate_->checkState() == Qt::Checked)
                translate(then);
        }
    }
    if (error)
        showFileError(QStringLiteral("Cannot read"), *error);
}

ReadResult MainWindow::readTextFile(const QString &path)
{
    // The file layer refuses a device or a pipe, which could keep the window waiting.
    return files_.readFile(nativePath(path));
}

void MainWindow::saveTextFile(const ByteTextEdit &area, const QString &title, bool warnIfLossy)
{
    const QString path = platform_.chooseFileToSave(this, title);
    if (path.isEmpty())
        return;
    const std::string text = area.bytes();
    const ReloadChanges changes = reloadChanges(text);
    if (warnIfLossy && changes != ReloadChanges{}) {
        QStringList reasons;
        if (changes.loneCr)
            reasons << QStringLiteral("holds a carriage return without a line feed, which "
                                      "loading turns into a line break");
        if (changes.finalLineEnd)
            reasons << QStringLiteral("ends with a line break, which loading drops");
        const QString what = reasons.join(QStringLiteral(" and "));
        const auto answer = platform_.showMessage(
            this, QStringLiteral("Save Encoded Text"),
            QStringLiteral("This encoded text %1, so the file would not load back exactly as "
                           "it is now.\n\nSave it anyway?")
                .arg(what),
            QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Cancel);
        if (answer != QMessageBox::Save)
            return;
    }
    std::optional<FileError> error;
    {
        BusyCursor busy;
        error = files_.writeFile(nativePath(path), text);
    }
    if (error)
        showFileError(QStringLiteral("Cannot save"), *error);
}

void MainWindow::offerUtf8View(const ByteTextEdit &area, const QString &path, std::string_view text)
{
    if (&area != normal_)
        return;
    if (normal_->charset() == displaytext::Charset::Windows1252 && charset::readsAsUtf8(text))
        charsetOffer_->offer(QFileInfo(path).fileName());
    else
        charsetOffer_->hide();
}

void MainWindow::showFileError(const QString &what, const FileError &error)
{
    showError(QStringLiteral("%1 \"%2\":\n%3")
                  .arg(what, fromNativePath(error.path), QString::fromStdString(error.reason)));
}

} // namespace lorimand
