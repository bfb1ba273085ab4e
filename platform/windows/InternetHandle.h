#pragma once
#include "platform/windows/Win32.h"
// These build on <windows.h>.
#include <wininet.h>

#include <utility>

// Owns one WinINet handle (session, connection or request); closes it with
// InternetCloseHandle on destruction.
class InternetHandle {
public:
    InternetHandle() = default;
    explicit InternetHandle(HINTERNET handle) : m_handle(handle) {}
    ~InternetHandle() {
        if (m_handle) ::InternetCloseHandle(m_handle);
    }
    InternetHandle(InternetHandle&& o) noexcept : m_handle(std::exchange(o.m_handle, nullptr)) {}
    InternetHandle& operator=(InternetHandle&& o) noexcept {
        if (this != &o) {
            if (m_handle) ::InternetCloseHandle(m_handle);
            m_handle = std::exchange(o.m_handle, nullptr);
        }
        return *this;
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;

    HINTERNET Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    HINTERNET m_handle = nullptr;
};
