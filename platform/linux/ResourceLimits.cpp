#include "platform/linux/ResourceLimits.h"

#include <sys/resource.h>

long RaiseOpenFileLimit() {
    rlimit lim{};
    if (getrlimit(RLIMIT_NOFILE, &lim) != 0) return -1;
    if (lim.rlim_cur < lim.rlim_max) {
        rlimit raised = lim;
        raised.rlim_cur = lim.rlim_max;
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0) lim = raised;
    }
    return static_cast<long>(lim.rlim_cur);
}
