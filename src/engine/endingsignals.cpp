#include "engine/endingsignals.h"

#include <atomic>

namespace lorimand {

namespace {

// The first signal noted, or 0. Lock-free, so that a handler may set it.
std::atomic<int> gNoted{0};
static_assert(std::atomic<int>::is_always_lock_free);

std::mutex gOneDeferral;

void note(int signal)
{
    int none = 0;
    gNoted.compare_exchange_strong(none, signal);
}

} // namespace

SignalDeferral::SignalDeferral() : only_(gOneDeferral)
{
    gNoted = 0;
    struct sigaction action = {};
    action.sa_handler = note;
    sigemptyset(&action.sa_mask);
    // The calls the work is in go on; it looks at signalled() between them.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
        ::sigaction(kEndingSignals[i], nullptr, &previous_[i]);
        if (previous_[i].sa_handler != SIG_IGN) {
            ::sigaction(kEndingSignals[i], &action, nullptr);
        }
    }
}

SignalDeferral::~SignalDeferral()
{
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
        if (previous_[i].sa_handler != SIG_IGN) {
            ::sigaction(kEndingSignals[i], &previous_[i], nullptr);
        }
    }
    if (const int signal = gNoted.exchange(0); signal != 0) {
        std::raise(signal);
    }
}

bool SignalDeferral::signalled() const
{
    return gNoted != 0;
}

} // namespace lorimand
