#pragma once
#include "platform/FileContent.h"

// Files read with pread(2). Opening uses O_NONBLOCK so that a FIFO or a
// device node cannot stall the caller; anything but a regular file is refused.
class CPosixFileContent : public IFileContent {
public:
    std::unique_ptr<IReadableFile> OpenFile(const std::string& path) override;
};
