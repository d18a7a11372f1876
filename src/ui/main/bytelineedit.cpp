#include "ui/main/bytelineedit.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QValidator>
#include <limits>

#include "ui/main/displaytext.h"

namespace lorimand {

namespace {

// Rewrites whatever reaches the text by other ways than typing (paste, drop, the
// context menu) the way typed text is rewritten.
class HoldableText : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &pos) const override
    {
        const QString fixed = displaytext::sanitized(input, displaytext::Breaks::AsPictures);
        if (fixed != input) {
            pos = static_cast<int>(displaytext::sanitized(QStringView(input).first(pos),
                                                          displaytext::Breaks::AsPictures)
                                       .size());
            input = fixed;
        }
        return Acceptable;
    }
};

} // namespace

ByteLineEdit::ByteLineEdit(QWidget *parent) : QLineEdit(parent)
{
    // Keys of any length: the default limit would cut them at 32,767 characters.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new HoldableText(this));
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
    if (!displaytext::insertsText(*event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString text = event->text();
    const QString fixed = displaytext::sanitized(text, displaytext::Breaks::AsPictures);
    if (fixed == text) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent replaced = displaytext::withText(*event, fixed);
    QLineEdit::keyPressEvent(&replaced);
    event->setAccepted(replaced.isAccepted());
}

void ByteLineEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    const QString fixed = displaytext::sanitized(commit, displaytext::Breaks::AsPictures);
    if (fixed == commit) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent replaced(event->preeditString(), event->attributes());
    replaced.setCommitString(fixed, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&replaced);
    event->setAccepted(replaced.isAccepted());
}

void ByteLineEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    // Only the keyboard selects: a click leaves the caret where it landed (the
    // focus comes before the press, with its own reason), and so does coming
    // back from another window or a dialog.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
        reason == Qt::ShortcutFocusReason)
        selectAll();
}

} // namespace lorimand
