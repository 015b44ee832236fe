// The signals by which a POSIX system asks the program to end, beyond those SDL takes.
#include <signal.h>

#include "platform/native.h"

namespace {

// Handed on as the request SDL knows: it closes the window as for SIGTERM.
void HandOnAsTerm(int) {
    raise(SIGTERM);
}

}  // namespace

void EndOnHangUpAsOnTerm() {
    struct sigaction now {};
    if (sigaction(SIGHUP, nullptr, &now) != 0 || now.sa_handler == SIG_IGN) return;
    struct sigaction action {};
    action.sa_handler = HandOnAsTerm;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGHUP, &action, nullptr);
}
