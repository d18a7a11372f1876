#include "ui/help/helpwindow.h"

#include <optional>
#include <string>

#include <QFontDatabase>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QShortcut>
#include <QUrl>

#include "engine/files.h"
#include "engine/lines.h"
#include "ui/colours.h"
#include "ui/conversions.h"
#include "ui/help/banner.h"
#include "ui/help/helplayout.h"
#include "ui/platform.h"
#include "ui/programfiles.h"
#include "ui/text/bytetextedit.h"
#include "ui/twips.h"

namespace lorimand {

namespace {

// The largest help text read, as for the main window's areas.
constexpr std::size_t kLargestHelp = std::size_t{1} << 30;

} // namespace

HelpWindow::HelpWindow(Platform &platform, FileSystem &files, QWidget *parent)
    : QWidget(parent, Qt::Window), platform_(platform), files_(files)
{
    setObjectName(QStringLiteral("Help"));
    setWindowTitle(tr("Lorimand Help"));
    setWindowIcon(QIcon(helpIcon()));
    setWindowModality(Qt::NonModal);
    setAttribute(Qt::WA_DeleteOnClose);

    txtHelpFile_ = new ByteTextEdit(this);
    txtHelpFile_->setObjectName(QStringLiteral("txtHelpFile"));
    txtHelpFile_->setAccessibleName(tr("Help text"));
    keepDefaultColours(*txtHelpFile_);
    txtHelpFile_->setReadOnly(true);
    txtHelpFile_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
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

    lblQuorvale_ = new QLabel(tr("GET PAID TO RECEIVE E-MAILS ON SUBJECTS OF YOUR CHOICE!!"), this);
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
        // The file layer refuses a pipe or a device, which could keep F1 waiting.
        ReadOptions options;
        options.limit = kLargestHelp;
        options.progress = progress;
        ReadResult read = files_.readFile(path, options);
        if (read.stopped) {
            return false;
        }
        if (!read.error) {
            // Nothing to undo in a read-only box: the text replaces the last one for good.
            txtHelpFile_->setBytes(endEveryLine(read.bytes), ByteTextEdit::History::Fresh);
            txtHelpFile_->setCursorPosition(0);
            return true;
        }
        failure = std::move(read.error);
    } catch (const std::bad_alloc &) {
        failure = FileError{path, tr("There is not enough memory to show it").toStdString()};
    }
    txtHelpFile_->setBytes({}, ByteTextEdit::History::Fresh);
    if (!failure->missing) {
        platform_.showMessage(
            nullptr, tr("Error"),
            tr("The help cannot be shown.\n\n%1: %2")
                .arg(fromNativePath(path), QString::fromStdString(failure->reason)));
    }
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
    const QString address = QString::fromLatin1(kAdvertiserUrl);
    if (!platform_.openUrl(QUrl(address))) {
        platform_.showMessage(
            this, tr("Error"),
            tr("No web browser could be started to open the page.\n\nIts address is %1")
                .arg(address));
    }
}

} // namespace lorimand
