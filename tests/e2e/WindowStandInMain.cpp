// Stands in for the window in the guest, which has no display: holds the window's single-instance lock, as a
// running window does, until it is killed. Prints "held" once it holds it.
#include "ui/SingleInstanceGuard.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

int main() {
    const SingleInstanceGuard guard(kWindowInstanceName);
    if (!guard.IsFirstInstance()) {
        std::puts("taken");
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    for (;;) {
        ::pause();
    }
}
