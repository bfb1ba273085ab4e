#pragma once
#include <cstdint>
#include <cstdio>

#include "cli/ListenAddress.h"

class CProcesses;

struct MetricsOptions {
    ListenAddress address;
    std::int64_t quietPeriod = 600;  // seconds without activity before a program's series end
    long count = -1;                 // samples before stopping; -1: until killed
};

// Samples once a second as the console view does, without printing the
// list, and serves the busy programs' counters on /metrics. Prints the
// address it serves on (with the port the system chose for port 0) once
// it listens. Returns 1 when the address cannot be bound.
int RunMetrics(CProcesses& processes, MetricsOptions options, std::FILE* out, std::FILE* err);
