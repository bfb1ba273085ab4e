#pragma once
#include <cstdint>
#include <string>

// What one program (one program file) did while watched. Counters only
// grow while the program is kept; the gauges describe the last tick.
struct ProgramMetrics {
    std::string path;           // the program file; empty when it could not be read
    std::string name;           // its file name
    std::uint64_t cpuTime = 0;  // processor time, 100-ns units
    std::uint64_t readBytes = 0;
    std::uint64_t writtenBytes = 0;
    std::uint64_t receivedBytes = 0;
    std::uint64_t sentBytes = 0;
    int processes = 0;  // live processes at the last tick
    bool listedProcessor = false;
    bool listedDisk = false;
    bool listedNetwork = false;
    bool busyOnce = false;      // it has series
    std::int64_t lastBusy = 0;  // clock of its last activity, or of its first sighting
};
