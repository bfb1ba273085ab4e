#include "res/AboutText.h"

// The Windows build draws the page with its own HTML view; what it carries
// from others is the compiler's runtime, linked in statically.
const char kAboutText[] =
    "Loadwatch 1.13\n\nCopyright (C) 2026 The Loadwatch developers\n\n\n"
    "This program contains code of the MinGW-w64 runtime and its winpthreads library. "
    "MinGW-w64 is Copyright (C) 2011-2016 the mingw-w64 project.";
