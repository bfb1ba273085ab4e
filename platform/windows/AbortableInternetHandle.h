#pragma once
#include "platform/windows/Win32.h"
// These build on <windows.h>.
#include <wininet.h>

#include <memory>
#include <mutex>
#include <vector>

#include "platform/windows/UniqueHandle.h"

// The open WinINet handles of one session (the session's own, its
// connections' and their requests'). Closing a handle from another thread is
// how WinINet lets a blocked call return, so an abort closes them all; each
// handle is closed by whoever takes it out of the list, hence exactly once.
// Wine's WinINet does not wake a blocked call on a close: waiters also watch
// AbortEvent.
class CInternetHandles {
public:
    CInternetHandles();
    // Closes every open handle, newest first (children before their
    // parents); every handle added later is closed at once.
    void Abort();
    bool Aborted() const;
    // Signalled by Abort; null if no event could be made (the close alone
    // then ends a blocked call).
    HANDLE AbortEvent() const { return m_abortEvent.Get(); }

private:
    friend class CAbortableInternetHandle;
    // false when aborted: the caller closes the handle itself.
    bool Add(HINTERNET handle);
    // false when the handle is no longer listed (an abort closed it).
    bool Remove(HINTERNET handle);
    bool Contains(HINTERNET handle) const;

    UniqueHandle m_abortEvent;
    mutable std::mutex m_mutex;
    bool m_bAborted = false;
    std::vector<HINTERNET> m_open;
};

// Owns one WinINet handle listed in its session's CInternetHandles; closes it
// on destruction unless an abort already has.
class CAbortableInternetHandle {
public:
    // Takes `handle` (may be null); closes it at once if the session is aborted.
    CAbortableInternetHandle(std::shared_ptr<CInternetHandles> handles, HINTERNET handle);
    ~CAbortableInternetHandle();
    CAbortableInternetHandle(const CAbortableInternetHandle&) = delete;
    CAbortableInternetHandle& operator=(const CAbortableInternetHandle&) = delete;

    // The handle for the next call; null once aborted. An abort may still
    // close it while that call runs, which makes the call fail.
    HINTERNET Get() const;
    // Closes the handle now, unless an abort already has.
    void Reset();
    const std::shared_ptr<CInternetHandles>& Handles() const { return m_handles; }

private:
    std::shared_ptr<CInternetHandles> m_handles;
    HINTERNET m_handle = nullptr;
};
