#pragma once
#include <cstdint>
#include <string>

// Parsers of procfs files (Documentation/filesystems/proc.rst of the Linux
// kernel: Table 1-4 for stat, section 3.3 for io).

// Parses the fields of a stat line that sampling needs. false if malformed.
struct StatFields {
    std::string comm;  // the kernel's name of the program, without its parentheses
    std::uint64_t ppid = 0;
    std::uint64_t flags = 0;
    std::uint64_t utime = 0, stime = 0, cutime = 0, cstime = 0;
    std::uint64_t starttime = 0;
    // Where the program's code lies; changes with exec (address layout is
    // randomised). 1 where the kernel hides it from us, 0 without any.
    std::uint64_t startcode = 0, endcode = 0;
};
bool ParseStatLine(const std::string& text, StatFields& out);
// Reads "read_bytes" and "write_bytes" of an io file. false if either is missing.
bool ParseIoText(const std::string& text, std::uint64_t& readBytes, std::uint64_t& writeBytes);
