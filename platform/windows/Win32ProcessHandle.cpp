#include "platform/windows/Win32ProcessHandle.h"

#include "platform/windows/ProcessWindow.h"

SignalResult CWin32ProcessHandle::Send(ProcessSignal signal) {
    if (::WaitForSingleObject(m_process.Get(), 0) == WAIT_OBJECT_0) return SignalResult::kGone;
    if (signal == ProcessSignal::kQuit) {
        // Leaves the window thread's message loop without asking about
        // unsaved work; a WM_CLOSE would let the program refuse.
        HWND window = FindProcessWindow(m_pid);
        if (!window) return SignalResult::kFailed;
        return ::PostMessageA(window, WM_QUIT, 0, 0) ? SignalResult::kSent : SignalResult::kFailed;
    }
    if (!m_canTerminate) return SignalResult::kDenied;
    if (::TerminateProcess(m_process.Get(), 1)) return SignalResult::kSent;
    return ::GetLastError() == ERROR_ACCESS_DENIED ? SignalResult::kDenied : SignalResult::kFailed;
}
