#include "platform/windows/WinTrustVerifier.h"

#include "platform/windows/Win32.h"
// These build on <windows.h>.
#include <softpub.h>
#include <wintrust.h>

#include <string>

namespace {
using WinVerifyTrustFn = LONG(WINAPI*)(HWND, GUID*, LPVOID);

std::wstring WidenAnsi(const std::string& text) {
    if (text.empty()) return {};
    int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}
}  // namespace

std::int32_t CWinTrustVerifier::VerifyTrust(const std::string& path) {
    if (!m_lookedUp) {
        if (!m_winTrust) m_winTrust = m_libraries.Load("WinTrust.DLL");
        if (!m_winTrust) return -1;
        m_winVerifyTrust = m_libraries.FindFunction(m_winTrust, "WinVerifyTrust");
        m_lookedUp = true;
    }
    if (!m_winVerifyTrust) return -1;
    std::wstring widePath = WidenAnsi(path);
    if (widePath.empty()) return -1;

    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = widePath.c_str();
    WINTRUST_DATA data{};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    auto verify = reinterpret_cast<WinVerifyTrustFn>(m_winVerifyTrust);
    // INVALID_HANDLE_VALUE: no window may ever be shown for the check.
    return static_cast<std::int32_t>(verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data));
}
