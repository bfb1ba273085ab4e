#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>

#include "platform/linux/UniqueFd.h"

// pidfd_open(2) and pidfd_send_signal(2) through syscall(2): glibc 2.36's
// <sys/pidfd.h> does not build as C++. Both set errno on failure.
UniqueFd PidfdOpen(pid_t pid);
int PidfdSendSignal(int pidfd, int signal);

// Whether the process of a pidfd has not been reaped yet (a zombie still
// holds its id, so no other process can have taken it).
bool PidfdAlive(int pidfd);

// Start time (clock ticks after boot, field 22 of stat) of the process a
// pidfd refers to, read from procRoot/PID/stat. The read is checked against
// the pidfd afterwards, so the value is never another process's that took
// the id. false with errno set (ESRCH once the process is gone).
bool PidfdStartTime(int pidfd, pid_t pid, const std::string& procRoot, std::uint64_t& startTime);
