#include "platform/thread_priority.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tarnwick::platform {

bool ApplyPriorityToCurrentThread(TConvertPriority priority) {
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    if (priority == tpIdle) {
        sched_param param{};
        param.sched_priority = 0;
        return pthread_setschedparam(pthread_self(), SCHED_IDLE, &param) == 0;
    }
    const int nice = priority == tpNormal ? 0 : priority == tpLower ? 5 : 10;
    // On Linux a thread id names that thread alone for PRIO_PROCESS.
    return setpriority(PRIO_PROCESS, tid, nice) == 0;
}

} // namespace tarnwick::platform
