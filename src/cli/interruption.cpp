#include "cli/interruption.h"

#include <atomic>
#include <csignal>

#include <unistd.h>

#include "formats/atomic_file.h"

namespace cli {
namespace {

std::atomic<int> interrupting{0};

extern "C" void OnInterrupt(int signal) {
    int none = 0;
    if (interrupting.compare_exchange_strong(none, signal)) return;
    formats::RemoveOpenTemporaries();
    ::_exit(128 + signal);
}

}  // namespace

void InstallInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGXFSZ, SIG_IGN);
}

int InterruptingSignal() { return interrupting.load(); }

}  // namespace cli
