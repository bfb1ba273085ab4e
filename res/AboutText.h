#pragma once

// Text 1028. Its last line acknowledges the foreign code the build's window
// carries, so each build links the one file that names it.
extern const char kAboutText[];
