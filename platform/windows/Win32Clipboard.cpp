#include "platform/windows/Win32Clipboard.h"

#include "platform/windows/Win32.h"

namespace {
// Owns a global memory block until the clipboard takes it.
struct GlobalBlock {
    HGLOBAL handle;
    ~GlobalBlock() {
        if (handle) ::GlobalFree(handle);
    }
};
}  // namespace

bool CWin32Clipboard::SetText(const std::string& text) {
    // Handed over as UTF-16: an OEM code-page copy would garble every
    // character of a path that the OEM code page lacks. The system makes
    // the 8-bit formats from it for programs that ask for those.
    const int units =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (units < 0 || (units == 0 && !text.empty())) return false;
    GlobalBlock block{::GlobalAlloc(GMEM_MOVEABLE, (static_cast<SIZE_T>(units) + 1) * sizeof(wchar_t))};
    if (!block.handle) return false;
    auto* wide = static_cast<wchar_t*>(::GlobalLock(block.handle));
    if (!wide) return false;
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide, units);
    wide[units] = L'\0';
    ::GlobalUnlock(block.handle);
    if (!::OpenClipboard(nullptr)) return false;
    bool ok = ::EmptyClipboard() && ::SetClipboardData(CF_UNICODETEXT, block.handle);
    if (ok) block.handle = nullptr;  // the clipboard's now
    ::CloseClipboard();
    return ok;
}
