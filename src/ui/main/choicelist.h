// A drop-down list that the mouse wheel does not switch while it is closed: a
// wheel turned to scroll past it must not change a choice on the way. Opened,
// the list scrolls as usual. It says when it is about to open, so that its
// owner may fill it afresh.
#pragma once

#include <QComboBox>

namespace lorimand {

class ChoiceList : public QComboBox
{
    Q_OBJECT

public:
    using QComboBox::QComboBox;

    void showPopup() override;

signals:
    void aboutToOpen();

protected:
    void wheelEvent(QWheelEvent *event) override;
};

} // namespace lorimand
