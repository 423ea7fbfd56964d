#include "ui/SingleInstanceGuard.h"

// Exit code 0 when this process is the first holder of the named lock given as the argument, 1 when another
// process holds it, 2 on a wrong call.
int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const SingleInstanceGuard guard(argv[1]);
    return guard.IsFirstInstance() ? 0 : 1;
}
