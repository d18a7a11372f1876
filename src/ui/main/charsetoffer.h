// The bar that offers to show Normal's text as UTF-8 after a file that reads as
// UTF-8 was loaded while Normal shows Windows-1252. It stands over the foot of
// Normal and keeps nothing from the user: the text stays as it is until the
// offer is taken, and the bar goes when it is taken or dismissed.
#pragma once

#include <QFrame>

class QAbstractScrollArea;
class QLabel;

namespace lorimand {

class CharsetOffer : public QFrame
{
    Q_OBJECT

public:
    // The bar is a sibling of `area` and follows its place and size.
    explicit CharsetOffer(QAbstractScrollArea &area);

    // Shows the offer for the file of the given name.
    void offer(const QString &fileName);

signals:
    void accepted();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();

    QAbstractScrollArea &area_;
    QLabel *text_ = nullptr;
};

} // namespace lorimand
