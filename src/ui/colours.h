// The windows' colours: black windows with white captions, whose text boxes keep
// the default colours rather than taking the window's, and the two colours of
// the program's artwork.
#pragma once

#include <QColor>

class QWidget;

namespace lorimand {

// The arrows, the icon's letter and the banner's lettering.
inline const QColor kBrightGreen{0, 255, 0};
// The help window's link and the icon's shifted letter.
inline const QColor kLinkBlue{0, 153, 255};

// A black background behind text of the given colour.
void makeBlack(QWidget &widget, const QColor &text = Qt::white);

// Every role set explicitly: a role left unset would be inherited from the black
// window, by the frame and the scroll bars among others.
void keepDefaultColours(QWidget &control);

// A check box's or option button's indicator as a white box with a black mark,
// clear on the black window whatever the desktop's palette (a dark one draws it
// dark on dark).
void keepIndicatorLight(QWidget &button);

} // namespace lorimand
