#pragma once
#include <cstdlib>

// Sets an environment variable of the test process; null removes it. The
// two C libraries name the call differently.
inline void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
    ::_putenv_s(name, value ? value : "");
#else
    if (value)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
#endif
}
