// The help window: the text of "Readme.txt" from the program folder in a
// read-only box, and under it an advertiser's banner and link label that open
// the advertiser's page. Top-level and not modal; it deletes itself when closed.
// Its text is loaded by loadHelpText, before it is shown.
#pragma once

#include <QString>
#include <QWidget>

#include "engine/progress.h"

class QLabel;

namespace lorimand {

class ByteTextEdit;
class FileSystem;
class Platform;

// The advertiser's page; the banner and the label both lead there.
inline constexpr char kAdvertiserUrl[] = "https://quorvale.example/";

class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(Platform &platform, FileSystem &files, QWidget *parent = nullptr);

    // Fills the text box from "Readme.txt", every line followed by a line end; a
    // missing file leaves the box empty, without a message, and any other that
    // cannot be shown (a pipe, a device, a file too large for memory) leaves it
    // empty with a message that says why. The file is read in steps, telling
    // `progress` after each; false when progress stopped it, and the box is as
    // it was.
    bool loadHelpText(const Progress &progress = nullptr);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void arrangeControls();
    void openAdvertiserPage();

    Platform &platform_;
    FileSystem &files_;
    ByteTextEdit *txtHelpFile_ = nullptr;
    QLabel *imgQuorvale_ = nullptr;
    QLabel *lblQuorvale_ = nullptr;
    QObject *pressedOn_ = nullptr; // the advert part a left button went down on
};

} // namespace lorimand
