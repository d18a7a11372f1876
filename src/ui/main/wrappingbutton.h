// A push button whose caption wraps onto a second line when it does not fit,
// as the text-file buttons need at the window's design width. With the focus,
// Return and Enter press it, as Space does.
#pragma once

#include <QPushButton>

namespace lorimand {

class WrappingButton : public QPushButton
{
    Q_OBJECT

public:
    WrappingButton(const QString &caption, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace lorimand
