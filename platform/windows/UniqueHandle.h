#pragma once
#include <utility>

#include "platform/windows/Win32.h"

// Owns one kernel handle; closes it on destruction. Both of the system's
// "no handle" values (null from OpenProcess, INVALID_HANDLE_VALUE from
// CreateFile and the tool-help snapshots) count as empty.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : m_handle(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& o) noexcept : m_handle(std::exchange(o.m_handle, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) {
            Reset();
            m_handle = std::exchange(o.m_handle, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    bool Valid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
    explicit operator bool() const { return Valid(); }
    void Reset(HANDLE handle = nullptr);

private:
    HANDLE m_handle = nullptr;
};
