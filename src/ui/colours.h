// The windows' colours: a black window with white captions, whose text boxes
// keep the default colours rather than taking the window's.
#pragma once

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace lorimand {

inline void makeBlack(QWidget &window)
{
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
}

// Every role set explicitly: a role left unset would be inherited from the black
// window, by the frame and the scroll bars among others.
inline void keepDefaultColours(QWidget &control)
{
    QPalette palette = QApplication::palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto colourRole = static_cast<QPalette::ColorRole>(role);
            palette.setColor(group, colourRole, palette.color(group, colourRole));
        }
    }
    control.setPalette(palette);
}

} // namespace lorimand
