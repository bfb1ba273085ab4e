#pragma once
#include <string>

// The desktop's clipboard.
class IClipboard {
public:
    virtual ~IClipboard() = default;
    // Replaces the whole clipboard content by exactly this plain text.
    // false if the clipboard could not be had; its content is then unchanged.
    virtual bool SetText(const std::string& text) = 0;
};
