#include "platform/windows/UniqueHandle.h"

void UniqueHandle::Reset(HANDLE handle) {
    if (Valid()) ::CloseHandle(m_handle);
    m_handle = handle;
}
