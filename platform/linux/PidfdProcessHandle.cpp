#include "platform/linux/PidfdProcessHandle.h"

#include <signal.h>

#include <cerrno>

#include "platform/linux/Pidfd.h"

SignalResult CPidfdProcessHandle::Send(ProcessSignal signal) {
    if (PidfdSendSignal(m_pidfd.Get(), signal == ProcessSignal::kKill ? SIGKILL : SIGTERM) == 0)
        return SignalResult::kSent;
    if (errno == ESRCH) return SignalResult::kGone;
    if (errno == EPERM) return SignalResult::kDenied;
    return SignalResult::kFailed;
}
