#include "res/AboutText.h"

// The Qt window renders the details page with Qt's text browser.
const char kAboutText[] =
    "Loadwatch 1.13\n\nCopyright (C) 2026 The Loadwatch developers\n\n\n"
    "This program contains code of the Qt toolkit, whose text browser renders the details "
    "page. Qt is Copyright (C) The Qt Company Ltd. and other contributors.";
