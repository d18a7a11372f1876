// A drop-down list that the mouse wheel does not switch while it is closed: a
// wheel turned to scroll past it must not change a choice on the way. Opened,
// the list scrolls as usual.
#pragma once

#include <QComboBox>

namespace lorimand {

class ChoiceList : public QComboBox
{
    Q_OBJECT

public:
    using QComboBox::QComboBox;

protected:
    void wheelEvent(QWheelEvent *event) override;
};

} // namespace lorimand
