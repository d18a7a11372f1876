// Watches the progress dialog that long work shows under a widget, as a user
// would: it notes how far the dialog got, and presses Cancel once it shows a
// given value. The work's steps run the watch, as they let the window paint.
#pragma once

#include <algorithm>

#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

namespace lorimand::test {

class ProgressWatch
{
public:
    // Cancels at `cancelAt` of the bar's 1000; a value past 1000 never cancels.
    ProgressWatch(const QWidget &parent, int cancelAt) : parent_(parent)
    {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this, cancelAt] {
            if (QProgressDialog *dialog = this->dialog()) {
                highest_ = std::max(highest_, dialog->value());
                if (dialog->value() >= cancelAt) {
                    dialog->cancel();
                }
            }
        });
        timer_.start(0);
    }

    // The highest value the dialog showed; -1 when there was none.
    [[nodiscard]] int highest() const { return highest_; }
    // The dialog of the work, while it lasts.
    [[nodiscard]] QProgressDialog *dialog() const
    {
        return parent_.findChild<QProgressDialog *>(QStringLiteral("Progress"));
    }

private:
    const QWidget &parent_;
    QTimer timer_;
    int highest_ = -1;
};

} // namespace lorimand::test
