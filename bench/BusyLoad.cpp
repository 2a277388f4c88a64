#include "bench/BusyLoad.h"

#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orven::bench {

BusyLoad::BusyLoad(int processes) {
    for (int i = 0; i < processes; ++i) {
        const pid_t child = fork();
        if (child == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives the benchmark
            volatile unsigned long spin = 0;
            for (;;) spin = spin + 1;
        }
        if (child > 0) children_.push_back(child);
    }
}

BusyLoad::~BusyLoad() {
    for (const pid_t child : children_) kill(child, SIGKILL);
    for (const pid_t child : children_) waitpid(child, nullptr, 0);
}

}  // namespace orven::bench
