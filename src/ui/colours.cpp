#include "ui/colours.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace lorimand {

void makeBlack(QWidget &widget, const QColor &text)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, text);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void keepDefaultColours(QWidget &control)
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

void keepIndicatorLight(QWidget &button)
{
    QPalette palette = button.palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::Base, Qt::lightGray);
    palette.setColor(QPalette::Disabled, QPalette::Text, Qt::darkGray);
    button.setPalette(palette);
}

} // namespace lorimand
