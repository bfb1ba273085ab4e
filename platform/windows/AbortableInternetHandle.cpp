#include "platform/windows/AbortableInternetHandle.h"

#include <algorithm>

CInternetHandles::CInternetHandles() : m_abortEvent(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

void CInternetHandles::Abort() {
    std::vector<HINTERNET> open;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bAborted = true;
        open.swap(m_open);
    }
    // Outside the lock: a close may wait for the call it interrupts, and
    // that call's thread may need the lock to finish.
    for (auto it = open.rbegin(); it != open.rend(); ++it) ::InternetCloseHandle(*it);
    if (m_abortEvent) ::SetEvent(m_abortEvent.Get());
}

bool CInternetHandles::Aborted() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bAborted;
}

bool CInternetHandles::Add(HINTERNET handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bAborted) return false;
    m_open.push_back(handle);
    return true;
}

bool CInternetHandles::Remove(HINTERNET handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = std::find(m_open.begin(), m_open.end(), handle);
    if (it == m_open.end()) return false;
    m_open.erase(it);
    return true;
}

bool CInternetHandles::Contains(HINTERNET handle) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::find(m_open.begin(), m_open.end(), handle) != m_open.end();
}

CAbortableInternetHandle::CAbortableInternetHandle(std::shared_ptr<CInternetHandles> handles,
                                                   HINTERNET handle)
    : m_handles(std::move(handles)), m_handle(handle) {
    if (m_handle && !m_handles->Add(m_handle)) {
        ::InternetCloseHandle(m_handle);
        m_handle = nullptr;
    }
}

CAbortableInternetHandle::~CAbortableInternetHandle() { Reset(); }

void CAbortableInternetHandle::Reset() {
    if (m_handle && m_handles->Remove(m_handle)) ::InternetCloseHandle(m_handle);
    m_handle = nullptr;
}

HINTERNET CAbortableInternetHandle::Get() const {
    return m_handle && m_handles->Contains(m_handle) ? m_handle : nullptr;
}
