// The help window: the text of "Readme.txt" from the program folder in a
// read-only box, and under it an advertiser's banner and link label that open
// the advertiser's page. Top-level and not modal; it deletes itself when closed.
// Its text is loaded by loadHelpText, before it is shown.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>
#include <QWidget>

#include "engine/files.h"
#include "engine/progress.h"

class QLabel;
class QPlainTextEdit;

namespace lorimand {

class FileSystem;
class Platform;

// The advertiser's page; the banner and the label both lead there.
inline constexpr char kAdvertiserUrl[] = "https://quorvale.example/";

// The help text as shown: every byte as its character of the 8-bit set, each
// CR LF as one line break, and a line of more than 4096 characters in pieces of
// that length, each on a line of its own. A line break is '\n', or a line
// separator (U+2028) in a help text of very many lines.
[[nodiscard]] QString helpDisplayText(std::string_view bytes);

class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(Platform &platform, FileSystem &files, QWidget *parent = nullptr);

    // Fills the text box from "Readme.txt", every line followed by a line end; a
    // missing file leaves the box empty, without a message, and any other that
    // cannot be shown (a pipe, a device, a file too large for memory) leaves it
    // empty with a message that says why. The box fills in steps, telling
    // `progress` after each; false when progress stopped it, and the box is empty.
    bool loadHelpText(const Progress &progress = nullptr);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The read and fill of loadHelpText; false with failure when the file cannot
    // be shown, false without when progress stopped it.
    bool fillHelpText(const std::string &path, const Progress &progress,
                      std::optional<FileError> &failure);
    void arrangeControls();
    void openAdvertiserPage();

    Platform &platform_;
    FileSystem &files_;
    QPlainTextEdit *txtHelpFile_ = nullptr;
    QLabel *imgQuorvale_ = nullptr;
    QLabel *lblQuorvale_ = nullptr;
    QObject *pressedOn_ = nullptr; // the advert part a left button went down on
};

} // namespace lorimand
