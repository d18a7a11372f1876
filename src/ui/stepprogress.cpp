#include "ui/stepprogress.h"

#include <algorithm>
#include <utility>

#include <QCoreApplication>
#include <QProgressDialog>

namespace lorimand {

namespace {

constexpr int kWhole = 1000;

} // namespace

StepProgress::StepProgress(QWidget *parent, const QString &label)
    : dialog_(std::make_unique<QProgressDialog>(
          label, QCoreApplication::translate("lorimand::StepProgress", "Cancel"), 0, kWhole,
          parent))
{
    dialog_->setObjectName(QStringLiteral("Progress"));
    dialog_->setWindowTitle(QCoreApplication::translate("lorimand::StepProgress", "Lorimand"));
    dialog_->setWindowModality(Qt::WindowModal);
    // Shown only for work that takes longer than half a second.
    dialog_->setMinimumDuration(500);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->setValue(0);
}

StepProgress::~StepProgress() = default;

bool StepProgress::step(int permille)
{
    dialog_->setValue(std::clamp(permille, 0, kWhole));
    // The windows paint meanwhile; until the dialog shows, and with it its
    // Cancel, the user's input waits, so that nothing is edited half-way.
    QCoreApplication::processEvents(dialog_->isVisible() ? QEventLoop::AllEvents
                                                         : QEventLoop::ExcludeUserInputEvents);
    return !dialog_->wasCanceled();
}

Progress StepProgress::stage(int first, int share)
{
    // The bar's thousandths as a part of the whole work.
    Progress whole = [this](std::size_t done, std::size_t total) {
        return step(static_cast<int>(done * kWhole / total));
    };
    return partOf(std::move(whole), static_cast<double>(first) / kWhole,
                  static_cast<double>(share) / kWhole);
}

} // namespace lorimand
