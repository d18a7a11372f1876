#include "ui/textzoom.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QWheelEvent>

namespace lorimand {
namespace {

// Watches the area for the keys and its viewport, which receives the wheel.
class TextZoom final : public QObject
{
public:
    explicit TextZoom(QPlainTextEdit &area) : QObject(&area), area_(area)
    {
        area.installEventFilter(this);
        area.viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && watched == &area_) {
            const auto *key = static_cast<QKeyEvent *>(event);
            // Ctrl+= is Ctrl+plus without Shift on many keyboards.
            if (key->matches(QKeySequence::ZoomIn) ||
                (key->key() == Qt::Key_Equal && key->modifiers() == Qt::ControlModifier)) {
                area_.zoomIn();
                return true;
            }
            if (key->matches(QKeySequence::ZoomOut)) {
                area_.zoomOut();
                return true;
            }
        } else if (event->type() == QEvent::Wheel && watched == area_.viewport()) {
            const auto *wheel = static_cast<QWheelEvent *>(event);
            if (wheel->modifiers() & Qt::ControlModifier) {
                const int steps = wheel->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
                if (steps > 0) {
                    area_.zoomIn(steps);
                } else if (steps < 0) {
                    area_.zoomOut(-steps);
                }
                return true;
            }
        }
        return false;
    }

private:
    QPlainTextEdit &area_;
};

} // namespace

void enableTextZoom(QPlainTextEdit &area)
{
    new TextZoom(area);
}

} // namespace lorimand
