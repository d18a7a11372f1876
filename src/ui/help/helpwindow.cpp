#include "ui/help/helpwindow.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include <QFontDatabase>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QShortcut>
#include <QTextCursor>
#include <QUrl>

#include "engine/files.h"
#include "engine/lines.h"
#include "ui/colours.h"
#include "ui/conversions.h"
#include "ui/help/banner.h"
#include "ui/help/helplayout.h"
#include "ui/platform.h"
#include "ui/programfiles.h"
#include "ui/textzoom.h"
#include "ui/twips.h"

namespace lorimand {

namespace {

const QString kAdvertText =
    QStringLiteral("GET PAID TO RECEIVE E-MAILS ON SUBJECTS OF YOUR CHOICE!!");

// The text box lays out a block (a line) whole, in a time that grows faster
// than its length: a help text of one line of millions of characters would
// freeze the window. A line that long is shown in pieces, each a line of its own,
// and no block holds more characters than this.
constexpr std::size_t kLongestLine = 4096;
// Filling the box costs some microseconds for each block: a help text of more
// lines than this shows several lines in a block, joined by line separators,
// which show as line breaks, so that the box fills in a fraction of a second.
// Up to this many lines, each has its block, so that the scroll bar, which
// counts a block not yet laid out as one line, is right from the start.
constexpr std::size_t kMostBlocks = 65536;
// The largest help text read, as for the main window's areas: the box holds
// it several times over.
constexpr std::size_t kLargestHelp = std::size_t{256} << 20;

} // namespace

QString helpDisplayText(std::string_view bytes)
{
    // The lines of the text, a line longer than kLongestLine in pieces of that
    // length; a text ending in a line end ends in an empty piece.
    const std::size_t size = bytes.size();
    std::vector<std::string_view> pieces;
    const auto addLine = [&pieces](std::string_view line) {
        while (line.size() > kLongestLine) {
            pieces.push_back(line.substr(0, kLongestLine));
            line.remove_prefix(kLongestLine);
        }
        pieces.push_back(line);
    };
    for (std::size_t end = bytes.find("\r\n"); end != std::string_view::npos;
         end = bytes.find("\r\n")) {
        addLine(bytes.substr(0, end));
        bytes.remove_prefix(end + 2);
    }
    addLine(bytes);

    const std::size_t linesPerBlock = (pieces.size() + kMostBlocks - 1) / kMostBlocks;
    QString text;
    text.reserve(static_cast<qsizetype>(size));
    std::size_t blockLines = 0;
    std::size_t blockLength = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const std::string_view piece = pieces[i];
        if (i > 0) {
            const bool newBlock =
                blockLines == linesPerBlock || blockLength + piece.size() > kLongestLine;
            text += newBlock ? QChar(u'\n') : QChar(QChar::LineSeparator);
            if (newBlock) {
                blockLines = 0;
                blockLength = 0;
            }
        }
        text += fromCharset(piece);
        ++blockLines;
        blockLength += piece.size();
    }
    return text;
}

HelpWindow::HelpWindow(Platform &platform, FileSystem &files, QWidget *parent)
    : QWidget(parent, Qt::Window), platform_(platform), files_(files)
{
    setObjectName(QStringLiteral("Help"));
    setWindowTitle(QStringLiteral("Lorimand Help"));
    setWindowIcon(QIcon(helpIcon()));
    setWindowModality(Qt::NonModal);
    setAttribute(Qt::WA_DeleteOnClose);

    txtHelpFile_ = new QPlainTextEdit(this);
    txtHelpFile_->setObjectName(QStringLiteral("txtHelpFile"));
    txtHelpFile_->setAccessibleName(QStringLiteral("Help text"));
    enableTextZoom(*txtHelpFile_);
    keepDefaultColours(*txtHelpFile_);
    txtHelpFile_->setReadOnly(true);
    // Nothing to undo in a read-only box; a history would only cost memory.
    txtHelpFile_->setUndoRedoEnabled(false);
    txtHelpFile_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtHelpFile_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtHelpFile_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtHelpFile_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(9);
    txtHelpFile_->setFont(fixed);

    makeBlack(*this);

    imgQuorvale_ = new QLabel(this);
    imgQuorvale_->setObjectName(QStringLiteral("imgQuorvale"));
    imgQuorvale_->setPixmap(advertBanner());
    imgQuorvale_->setScaledContents(false);
    imgQuorvale_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imgQuorvale_->setCursor(Qt::CrossCursor);
    imgQuorvale_->installEventFilter(this);

    lblQuorvale_ = new QLabel(kAdvertText, this);
    lblQuorvale_->setObjectName(QStringLiteral("lblQuorvale"));
    lblQuorvale_->setAlignment(Qt::AlignCenter);
    QFont bold = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    bold.setStyleHint(QFont::SansSerif);
    bold.setPointSizeF(8.25);
    bold.setBold(true);
    lblQuorvale_->setFont(bold);
    makeBlack(*lblQuorvale_, kLinkBlue);
    lblQuorvale_->setCursor(Qt::CrossCursor);
    lblQuorvale_->installEventFilter(this);

    // Escape closes the help, as it closes a dialog.
    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);

    // The text box is the only control that takes the focus, so it comes first.
    txtHelpFile_->setFocus();

    setMinimumSize(helpMinimumClientSize());
    resize(twips::toPixels(kHelpInitialClientSize.width),
           twips::toPixels(kHelpInitialClientSize.height));
    arrangeControls();
}

bool HelpWindow::loadHelpText(const Progress &progress)
{
    const std::string path = nativePath(ProgramFiles(platform_, files_).helpFile());
    std::optional<FileError> failure;
    try {
        if (fillHelpText(path, progress, failure)) {
            return true;
        }
    } catch (const std::bad_alloc &) {
        failure = FileError{path, "There is not enough memory to show it"};
    }
    txtHelpFile_->clear();
    if (!failure) {
        return false; // stopped
    }
    if (!failure->missing) {
        platform_.showMessage(
            nullptr, QStringLiteral("Error"),
            QStringLiteral("The help cannot be shown.\n\n%1: %2")
                .arg(fromNativePath(path), QString::fromStdString(failure->reason)));
    }
    return true;
}

bool HelpWindow::fillHelpText(const std::string &path, const Progress &progress,
                              std::optional<FileError> &failure)
{
    txtHelpFile_->clear();
    // The file layer refuses a pipe or a device, which could keep F1 waiting.
    const ReadResult read = files_.readFile(path, ReadOptions{kLargestHelp, false});
    if (read.error) {
        failure = read.error;
        return false;
    }
    const QString text = helpDisplayText(endEveryLine(read.bytes));
    // In steps, so that the windows paint and a long fill can be stopped.
    constexpr qsizetype kStep = qsizetype{1} << 21;
    QTextCursor cursor(txtHelpFile_->document());
    for (qsizetype done = 0; done < text.size();) {
        const qsizetype step = std::min(kStep, text.size() - done);
        cursor.insertText(QStringView(text).sliced(done, step).toString());
        done += step;
        if (progress &&
            !progress(static_cast<std::size_t>(done), static_cast<std::size_t>(text.size()))) {
            return false;
        }
    }
    cursor.setPosition(0);
    txtHelpFile_->setTextCursor(cursor);
    return true;
}

void HelpWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrangeControls();
}

void HelpWindow::arrangeControls()
{
    // The minimum size keeps the window from becoming smaller than the layout
    // allows; a size the window manager imposes anyway (a maximised window on a
    // small screen) is laid out as if at the minimum, never fought.
    const HelpLayout layout = arrangeHelpWindow(twips::outerSize(size()));
    txtHelpFile_->setGeometry(twips::toPixels(layout.txtHelpFile));
    imgQuorvale_->setGeometry(twips::toPixels(layout.imgQuorvale));
    lblQuorvale_->setGeometry(twips::toPixels(layout.lblQuorvale));
}

bool HelpWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == imgQuorvale_ || watched == lblQuorvale_) {
        // A click: the left button pressed and released over the same part.
        if (event->type() == QEvent::MouseButtonPress) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton) {
                pressedOn_ = watched;
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton && pressedOn_ == watched) {
                pressedOn_ = nullptr;
                const auto *widget = static_cast<QWidget *>(watched);
                if (widget->rect().contains(mouse->position().toPoint())) {
                    openAdvertiserPage();
                }
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void HelpWindow::openAdvertiserPage()
{
    platform_.openUrl(QUrl(QString::fromLatin1(kAdvertiserUrl)));
}

} // namespace lorimand
