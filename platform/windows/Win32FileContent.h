#pragma once
#include "platform/FileContent.h"

// Files opened with CreateFileA for reading, shared with writers and
// deleters so that a running program's own file opens too. Anything but a
// disk file (folders, pipes, consoles, devices) is refused.
class CWin32FileContent : public IFileContent {
public:
    std::unique_ptr<IReadableFile> OpenFile(const std::string& path) override;
};
