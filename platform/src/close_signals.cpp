#include "close_signals.h"

#include <platform/display.h>

#include <atomic>
#include <csignal>
#include <pthread.h>
#include <thread>

namespace plat {
namespace {

struct SignalWaiter {
    std::thread thread;
    std::atomic<bool> stop{false};
};

SignalWaiter& Waiter() {
    static SignalWaiter* w = new SignalWaiter;
    return *w;
}

sigset_t CloseSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    return set;
}

} // namespace

void StartCloseOnSignals() {
    SignalWaiter& w = Waiter();
    if (w.thread.joinable())
        return;
    sigset_t set = CloseSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    w.stop = false;
    w.thread = std::thread([&w, set] {
        for (;;) {
            int sig = 0;
            if (sigwait(&set, &sig) != 0)
                continue;
            if (w.stop)
                return;
            InputCloseRequest();
        }
    });
}

void StopCloseOnSignals() {
    SignalWaiter& w = Waiter();
    if (!w.thread.joinable())
        return;
    // The waiter takes this signal itself and sees the flag.
    w.stop = true;
    pthread_kill(w.thread.native_handle(), SIGTERM);
    w.thread.join();
}

} // namespace plat
