#include "ui/main/charsetoffer.h"

#include <algorithm>

#include <QAbstractScrollArea>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include "ui/captions.h"
#include "ui/colours.h"

namespace lorimand {

CharsetOffer::CharsetOffer(QAbstractScrollArea &area) : QFrame(area.parentWidget()), area_(area)
{
    setObjectName(QStringLiteral("CharsetOffer"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    keepDefaultColours(*this);
    QFont plain = font();
    plain.setBold(false);
    setFont(plain);

    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("CharsetOfferText"));
    text_->setWordWrap(true);
    auto *take = new QPushButton(tr("Show as &UTF-8"), this);
    take->setObjectName(QStringLiteral("ShowAsUtf8"));
    auto *dismiss = new QPushButton(tr("Keep &Windows-1252"), this);
    dismiss->setObjectName(QStringLiteral("KeepWindows1252"));
    for (QPushButton *button : {take, dismiss}) {
        button->setAutoDefault(false);
        button->setToolTip(accessKeyToolTip(button->text()));
    }

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 3, 3, 3);
    layout->addWidget(text_, 1);
    layout->addWidget(take);
    layout->addWidget(dismiss);

    connect(take, &QPushButton::clicked, this, [this] {
        hide();
        emit accepted();
    });
    connect(dismiss, &QPushButton::clicked, this, &QWidget::hide);
    area.installEventFilter(this);
    hide();
}

void CharsetOffer::offer(const QString &fileName)
{
    text_->setText(tr("\"%1\" looks like UTF-8 text.").arg(fileName));
    place();
    show();
    raise();
}

bool CharsetOffer::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
        place();
    }
    return QFrame::eventFilter(watched, event);
}

// Over the foot of the area, clear of its frame and its vertical scroll bar.
void CharsetOffer::place()
{
    const QRect inside = area_.geometry().marginsRemoved(QMargins(2, 2, 2, 2));
    const int scrollBar =
        area_.verticalScrollBar()->isVisibleTo(&area_) ? area_.verticalScrollBar()->width() : 0;
    const int width = inside.width() - scrollBar;
    const int wanted = hasHeightForWidth() ? heightForWidth(width) : sizeHint().height();
    const int height = std::min(wanted, inside.height());
    setGeometry(inside.left(), inside.bottom() + 1 - height, width, height);
}

void CharsetOffer::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        event->accept();
        return;
    }
    QFrame::keyPressEvent(event);
}

} // namespace lorimand
