// The signals that end a program by default and that a handler can catch, and
// holding them back while a file cannot be left as it stands.
#pragma once

#include <array>
#include <csignal>
#include <mutex>

namespace lorimand {

// Every signal whose default action ends the process and that a handler can catch.
inline constexpr std::array kEndingSignals{SIGINT,  SIGTERM,   SIGHUP,  SIGQUIT, SIGUSR1, SIGUSR2,
                                           SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ, SIGPOLL};

// While it lives, an ending signal (one the process does not ignore) only is
// noted, in whichever thread it arrives, so that the work in hand can stop at a
// point where the file is whole and then end the process. Going, it gives the
// signals their former actions back and raises the one noted, which then acts as
// it would have on arrival: the default action ends the process. One deferral at
// a time in a process; a second waits for the first.
class SignalDeferral
{
public:
    SignalDeferral();
    ~SignalDeferral();
    SignalDeferral(const SignalDeferral &) = delete;
    SignalDeferral &operator=(const SignalDeferral &) = delete;

    // Whether an ending signal has arrived since the deferral began.
    [[nodiscard]] bool signalled() const;

private:
    std::lock_guard<std::mutex> only_;
    std::array<struct sigaction, kEndingSignals.size()> previous_{};
};

} // namespace lorimand
