#pragma once
#include <cstdint>
#include <cstdio>

#include "cli/ListenAddress.h"

// What loadwatch-cli was asked to do.
struct CliOptions {
    long count = -1;               // refreshes before stopping; -1: until interrupted
    std::uint32_t detailsPid = 0;  // 0: watch the list instead
    bool wide = false;             // the list with process ids and amounts
    bool metrics = false;          // serve counters instead of printing the list
    ListenAddress metricsAddress;
    long quietPeriod = 600;        // seconds before a quiet program's series end
};

// Reads the arguments (argv[0] is the program). Returns -1 to go on with
// options filled in; otherwise the exit code to stop with: 0 after printing
// the usage to out for --help, 2 after a message on err for a bad argument.
int ParseCommandLine(int argc, char** argv, CliOptions& options, std::FILE* out, std::FILE* err);
