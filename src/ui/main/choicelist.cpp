#include "ui/main/choicelist.h"

#include <QWheelEvent>

namespace lorimand {

void ChoiceList::wheelEvent(QWheelEvent *event)
{
    // Left to the parent, as if the list were not there.
    event->ignore();
}

void ChoiceList::showPopup()
{
    emit aboutToOpen();
    QComboBox::showPopup();
}

} // namespace lorimand
