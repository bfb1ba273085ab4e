#include "platform/windows/UniqueHandle.h"

void HandleTraits::Close(HANDLE handle) { ::CloseHandle(handle); }
