#pragma once
#include "platform/Clipboard.h"

// The desktop's clipboard through Qt, as plain text.
class CQtClipboard : public IClipboard {
public:
    bool SetText(const std::string& text) override;
};
