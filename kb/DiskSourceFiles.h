#pragma once
#include "kb/SourceFiles.h"

// ISourceFiles on the real file system; gzip through zlib.
class CDiskSourceFiles : public ISourceFiles {
public:
    bool Read(const std::string& path, std::size_t maxBytes, std::string& text) override;
    std::vector<std::string> List(const std::string& folder) override;
    std::int64_t ModifiedNs(const std::string& path) override;
};
