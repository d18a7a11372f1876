// Long work done in steps on the windows' own thread (loading or saving a large
// text, filling the help): a dialog that appears once the work has taken half a
// second, shows how far it is and offers Cancel, while the windows paint
// between the steps.
#pragma once

#include <memory>

#include <QString>

#include "engine/progress.h"

class QProgressDialog;
class QWidget;

namespace lorimand {

class StepProgress
{
public:
    // The dialog is modal to `parent`'s window; its name is "Progress".
    StepProgress(QWidget *parent, const QString &label);
    ~StepProgress();
    StepProgress(const StepProgress &) = delete;
    StepProgress &operator=(const StepProgress &) = delete;

    // Shows `permille` thousandths of the work done and lets the windows paint;
    // false once the user cancelled.
    [[nodiscard]] bool step(int permille);
    // The progress of one stage of the work, which fills `share` thousandths of
    // the bar after the first `first`.
    [[nodiscard]] Progress stage(int first, int share);

private:
    std::unique_ptr<QProgressDialog> dialog_;
};

} // namespace lorimand
