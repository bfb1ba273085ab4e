#pragma once
#include "platform/Clipboard.h"

// The system clipboard, owned by no window.
class CWin32Clipboard : public IClipboard {
public:
    bool SetText(const std::string& text) override;
};
