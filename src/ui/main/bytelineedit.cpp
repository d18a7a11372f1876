#include "ui/main/bytelineedit.h"

#include <limits>

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QValidator>

#include "ui/text/displaytext.h"

namespace lorimand {

namespace {

// Rewrites whatever reaches the text by other ways than typing (paste, drop, the
// context menu) the way typed text is rewritten.
class HoldableText : public QValidator
{
public:
    explicit HoldableText(ByteLineEdit &edit) : QValidator(&edit), edit_(edit) {}

    State validate(QString &input, int &pos) const override
    {
        const auto fixed = displaytext::sanitized(input, displaytext::Breaks::AsPictures);
        if (fixed.text != input) {
            pos = static_cast<int>(displaytext::sanitized(QStringView(input).first(pos),
                                                          displaytext::Breaks::AsPictures)
                                       .text.size());
            input = fixed.text;
        }
        edit_.tellLeftOut(fixed.leftOut);
        return Acceptable;
    }

private:
    ByteLineEdit &edit_;
};

} // namespace

ByteLineEdit::ByteLineEdit(QWidget *parent) : QLineEdit(parent)
{
    // Keys of any length: the default limit would cut them at 32,767 characters.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new HoldableText(*this));
    setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
}

std::string ByteLineEdit::bytes() const
{
    std::string out;
    displaytext::appendBytes(text(), out);
    return out;
}

void ByteLineEdit::setBytes(std::string_view bytes)
{
    setText(displaytext::lineFromBytes(bytes));
}

void ByteLineEdit::setMasked(bool masked)
{
    setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
}

bool ByteLineEdit::isMasked() const
{
    return echoMode() == QLineEdit::Password;
}

void ByteLineEdit::keyPressEvent(QKeyEvent *event)
{
    if (displaytext::isUnusedAltKey(*event)) {
        event->ignore();
        return;
    }
    if (!displaytext::insertsText(*event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString text = event->text();
    const auto fixed = displaytext::sanitized(text, displaytext::Breaks::AsPictures);
    if (fixed.text == text) {
        QLineEdit::keyPressEvent(event);
    } else if (fixed.text.isEmpty()) {
        event->accept();
    } else {
        QKeyEvent replaced = displaytext::withText(*event, fixed.text);
        QLineEdit::keyPressEvent(&replaced);
        event->setAccepted(replaced.isAccepted());
    }
    tellLeftOut(fixed.leftOut);
}

void ByteLineEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    const auto fixed = displaytext::sanitized(commit, displaytext::Breaks::AsPictures);
    if (fixed.text == commit) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent replaced(event->preeditString(), event->attributes());
    replaced.setCommitString(fixed.text, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&replaced);
    event->setAccepted(replaced.isAccepted());
    tellLeftOut(fixed.leftOut);
}

void ByteLineEdit::tellLeftOut(const QString &leftOut)
{
    // A masked key shows none of its characters, those left out included.
    if (!leftOut.isEmpty()) {
        displaytext::tellLeftOut(*this, cursorRect(), isMasked() ? QString() : leftOut);
    }
}

void ByteLineEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    // Only the keyboard selects: a click leaves the caret where it landed (the
    // focus comes before the press, with its own reason), and so does coming
    // back from another window or a dialog.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
        reason == Qt::ShortcutFocusReason) {
        selectAll();
    }
}

} // namespace lorimand
