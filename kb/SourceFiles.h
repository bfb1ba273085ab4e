#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The only way the knowledge base reads the machine: the indexes read their
// sources through it, and tests hand in one that records every path.
class ISourceFiles {
public:
    virtual ~ISourceFiles() = default;
    // At most maxBytes of the file's text, inflated when the name ends in
    // ".gz"; false when it cannot be read.
    virtual bool Read(const std::string& path, std::size_t maxBytes, std::string& text) = 0;
    // The entry names of a folder (no "." or ".."), unsorted; empty when unreadable.
    virtual std::vector<std::string> List(const std::string& folder) = 0;
    // Modification time in nanoseconds, -1 when the path does not exist.
    virtual std::int64_t ModifiedNs(const std::string& path) = 0;
};
