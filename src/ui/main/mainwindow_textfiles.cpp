// The main window's text-file commands: loading into an area (by the buttons,
// by a drop and from the command line) and saving an area.
#include <QCheckBox>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QTimer>

#include "engine/charset.h"
#include "engine/files.h"
#include "engine/lines.h"
#include "ui/busycursor.h"
#include "ui/conversions.h"
#include "ui/main/charsetoffer.h"
#include "ui/main/mainwindow.h"
#include "ui/platform.h"
#include "ui/stepprogress.h"
#include "ui/text/bytetextedit.h"

namespace lorimand {

namespace {

// The largest text file the window loads. Each area holds its bytes about once
// (with an index of its lines), so both hold a little over twice the file;
// larger files are better served by lorimand-cli, which streams them.
constexpr std::size_t kLargestText = std::size_t{1} << 30;

QString fileNameOf(const std::string &file)
{
    return QFileInfo(fromNativePath(file)).fileName();
}

} // namespace

void MainWindow::translateCommandLineFile(const CommandLineRequest &request)
{
    loadFileInto(request.direction == Direction::Encode ? *normal_ : *encoded_, request.fileName,
                 true);
}

void MainWindow::loadTextFile(ByteTextEdit &area, const QString &title)
{
    if (!selfTestPasses()) {
        return;
    }
    std::string file;
    try {
        const QString path = platform_.chooseFileToOpen(this, title);
        if (path.isEmpty()) {
            return;
        }
        file = nativePath(path);
    } catch (const std::bad_alloc &) {
        reportOutOfMemory(); // nothing was changed yet
        return;
    }
    loadFileInto(area, file, autoTranslates());
}

void MainWindow::loadFileInto(ByteTextEdit &area, const std::string &file, bool translateAfter)
{
    const bool plain = &area == normal_;
    bool &typed = plain ? normalTyped_ : encodedTyped_;
    const bool typedBefore = typed;
    const std::uint64_t changesBefore = area.changeCount();
    // What running out of memory on the way leaves: the area as it was, or the
    // text loaded and translated whole (only what follows failed).
    bool done = false;
    try {
        std::optional<FileError> error;
        bool restored = false;
        std::string oldTextKeptIn;
        {
            BusyCursor busy;
            ReadResult read = readTextFile(file);
            if (read.stopped) {
                return; // cancelled while reading
            }
            error = std::move(read.error);
            restored = read.restored;
            oldTextKeptIn = std::move(read.oldTextKeptIn);
            if (!error) {
                const QScopedValueRollback updating(updating_, true);
                // Plain text follows the line rule; encoded text is any codes at all,
                // a lone CR among them, so it is taken byte for byte.
                std::string text = plain ? joinLines(read.bytes) : std::move(read.bytes);
                std::string().swap(read.bytes);
                const bool utf8 = charset::readsAsUtf8(text);
                area.setBytes(std::move(text), ByteTextEdit::History::Step);
                lastSource_ = plain ? Direction::Encode : Direction::Decode;
                typed = false;
                if (translateAfter && !translate(plain ? Direction::Encode : Direction::Decode,
                                                 ByteTextEdit::History::Automatic)) {
                    // The text loaded goes again; the other area is as it was.
                    if (takeBack(area)) {
                        typed = typedBefore;
                    } else {
                        reportOutOfMemory(false);
                    }
                    return;
                }
                done = true;
                offerUtf8View(area, fileNameOf(file), utf8);
            }
        }
        if (restored) {
            platform_.showMessage(dialogParent(), tr("Restored"),
                                  tr("%1 was being saved when that save was interrupted. It is "
                                     "restored from its journal as it was before that save.")
                                      .arg(fromNativePath(file)));
        }
        if (!oldTextKeptIn.empty()) {
            platform_.showMessage(
                dialogParent(), tr("Interrupted Save"),
                tr("%1 was being saved when that save was interrupted, and it may "
                   "have been changed since by another program, so it is kept as "
                   "it is. Its text from before that save is in %2.")
                    .arg(fromNativePath(file), fromNativePath(oldTextKeptIn)));
        }
        if (error) {
            showFileError(tr("Cannot read \"%1\":\n%2"), *error);
        }
    } catch (const std::bad_alloc &) {
        // Half a load is taken back; a whole one stays, only what follows it failed.
        bool kept = false;
        if (!done) {
            kept = area.changeCount() == changesBefore || takeBack(area);
            if (kept) {
                typed = typedBefore;
            }
        }
        reportOutOfMemory(kept);
    }
}

ReadResult MainWindow::readTextFile(const std::string &file)
{
    StepProgress progress(dialogParent(), tr("Loading %1 ...").arg(fileNameOf(file)));
    // The file layer refuses a device or a pipe, which could keep the window
    // waiting, and a file too large for the window before any of it is read.
    ReadOptions options;
    options.limit = kLargestText;
    options.progress = progress.stage(0, 1000);
    ReadResult read = files_.readFile(file, options);
    if (read.error && read.error->tooLarge) {
        read.error->reason = tr("It is larger than the %1 MiB the window holds; lorimand-cli "
                                "translates files of any size.")
                                 .arg(kLargestText >> 20)
                                 .toStdString();
    }
    return read;
}

bool MainWindow::saveTextFile(const ByteTextEdit &area, const QString &title)
{
    // A key change still waiting for a pause in the typing is translated first.
    if (keyPause_->isActive()) {
        followSetting();
    }
    const QString path = platform_.chooseFileToSave(this, title);
    if (path.isEmpty()) {
        return false;
    }
    const std::string file = nativePath(path);
    std::optional<FileError> error;
    {
        BusyCursor busy;
        StepProgress progress(dialogParent(), tr("Saving %1 ...").arg(fileNameOf(file)));
        // A text edited in several places is put together before it is written.
        std::string scratch;
        std::string_view text;
        try {
            text = area.wholeText(scratch);
        } catch (const std::bad_alloc &) {
            error = FileError{file, tr("There is not enough memory to put the text together; "
                                       "the file was not touched")
                                        .toStdString()};
        }
        if (!error) {
            WriteOptions options;
            options.progress = progress.stage(0, 1000);
            error = files_.writeFile(file, text, options);
        }
    }
    if (error && error->written) {
        // The new text is in the file; only closing it afterwards failed. The
        // text is saved, and the user is told what went wrong.
        showFileError(tr("\"%1\" is saved, with a warning:\n%2"), *error);
        error.reset();
    }
    if (error) {
        // Cancelled in the progress: the user knows, and the file is as it was.
        // Either way the text is not saved, so it stays marked as unsaved.
        if (!error->stopped) {
            showFileError(tr("Cannot save \"%1\":\n%2"), *error);
        }
        return false;
    }
    (&area == normal_ ? normalTyped_ : encodedTyped_) = false;
    return true;
}

void MainWindow::offerUtf8View(const ByteTextEdit &area, const QString &fileName, bool readsAsUtf8)
{
    if (&area != normal_) {
        return;
    }
    if (normal_->charset() == displaytext::Charset::Windows1252 && readsAsUtf8) {
        charsetOffer_->offer(fileName);
    } else {
        charsetOffer_->hide();
    }
}

void MainWindow::showFileError(const QString &message, const FileError &error)
{
    showError(message.arg(fromNativePath(error.path), QString::fromStdString(error.reason)));
}

} // namespace lorimand
