// The main window's text-file commands: loading into an area (by the buttons,
// by a drop and from the command line) and saving an area.
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

namespace {

// The largest text file the window loads. Both areas hold a text of that size
// several times over (the bytes, the shown characters of each area, their
// layout and the undo history), a few GiB at this size; larger files are
// better served by lorimand-cli, which streams them.
constexpr qint64 kLargestText = qint64{256} << 20;

} // namespace

void MainWindow::translateCommandLineFile(const CommandLineRequest &request)
{
    loadFileInto(request.direction == Direction::Encode ? *normal_ : *encoded_, request.fileName,
                 true);
}

void MainWindow::loadTextFile(ByteTextEdit &area, const QString &title)
{
    if (!selfTestPasses())
        return;
    const QString path = platform_.chooseFileToOpen(this, title);
    if (path.isEmpty())
        return;
    loadFileInto(area, nativePath(path), autoTranslates());
}

void MainWindow::loadFileInto(ByteTextEdit &area, const std::string &file, bool translateAfter)
{
    std::optional<FileError> error;
    {
        BusyCursor busy;
        ReadResult read = readTextFile(file);
        error = std::move(read.error);
        if (!error) {
            const QScopedValueRollback updating(updating_, true);
            // Plain text follows the line rule; encoded text is any codes at all,
            // a lone CR among them, so it is taken byte for byte.
            const bool plain = &area == normal_;
            std::string text = plain ? joinLines(read.bytes) : std::move(read.bytes);
            area.setBytes(text);
            offerUtf8View(area, QFileInfo(fromNativePath(file)).fileName(), text);
            if (translateAfter)
                translate(plain ? Direction::Encode : Direction::Decode,
                          ByteTextEdit::History::Automatic);
        }
    }
    if (error)
        showFileError(QStringLiteral("Cannot read"), *error);
}

ReadResult MainWindow::readTextFile(const std::string &file)
{
    // The file layer refuses a device or a pipe, which could keep the window
    // waiting; a file too large for the window is refused before any of it is read.
    if (const QFileInfo info(fromNativePath(file)); info.isFile() && info.size() > kLargestText)
        return {{},
                FileError{file, QStringLiteral("it holds %1 MiB, more than the %2 MiB the window "
                                               "holds; lorimand-cli translates files of any size")
                                    .arg((info.size() + (1 << 20) - 1) >> 20)
                                    .arg(kLargestText >> 20)
                                    .toStdString()}};
    // The bound holds also where the name cannot be shown exactly.
    return files_.readFile(file, ReadOptions{static_cast<std::size_t>(kLargestText)});
}

void MainWindow::saveTextFile(const ByteTextEdit &area, const QString &title)
{
    const QString path = platform_.chooseFileToSave(this, title);
    if (path.isEmpty())
        return;
    std::optional<FileError> error;
    {
        // Reading a large text out of the area takes time too.
        BusyCursor busy;
        error = files_.writeFile(nativePath(path), area.bytes());
    }
    if (error)
        showFileError(QStringLiteral("Cannot save"), *error);
}

void MainWindow::offerUtf8View(const ByteTextEdit &area, const QString &fileName,
                               std::string_view text)
{
    if (&area != normal_)
        return;
    if (normal_->charset() == displaytext::Charset::Windows1252 && charset::readsAsUtf8(text))
        charsetOffer_->offer(fileName);
    else
        charsetOffer_->hide();
}

void MainWindow::showFileError(const QString &what, const FileError &error)
{
    showError(QStringLiteral("%1 \"%2\":\n%3")
                  .arg(what, fromNativePath(error.path), QString::fromStdString(error.reason)));
}

} // namespace lorimand
