// The single-line key field: 8-bit text held faithfully like ByteTextEdit, with
// every control code, CR and LF included, shown as its control picture. When
// masked, it shows one "*" per character. Entered by the keyboard, it selects
// its whole text, ready to be typed over.
#pragma once

#include <string>
#include <string_view>

#include <QLineEdit>

namespace lorimand {

class ByteLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit ByteLineEdit(QWidget *parent = nullptr);

    [[nodiscard]] std::string bytes() const;
    void setBytes(std::string_view bytes);
    void setMasked(bool masked);
    [[nodiscard]] bool isMasked() const;

    // Shows which characters were left out of what was typed, pasted or
    // dropped, if any: the 8-bit set cannot hold them.
    void tellLeftOut(const QString &leftOut);

protected:
    // Typed text is made holdable before it goes in, so the edit keeps its undo
    // history; pasted and dropped text is caught by the field's validator.
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
};

} // namespace lorimand
