#pragma once
#include <map>

#include "window/Geometry.h"

// Where the dialog and its controls go on a screen too small for the
// template layout.
struct FitResult {
    bool moved = false;            // false: the template layout stays as it is
    Rect window;                   // the dialog window, in screen pixels
    std::map<int, Rect> controls;  // new places, in the dialog's client pixels
};

// window: the dialog's window size; desktop: the desktop size; controls: the
// current place of every control by id (client pixels). A dialog that fits
// (width <= desktop width, height <= desktop height - 20) is left alone.
// Otherwise the too large side shrinks (width to desktop - 15, height to
// desktop - 40), the dialog is centred on the desktop, the list and the
// details panel take the new size, and the right-hand column, the home link
// and the promotion panel move with the right edge (the panel also up; each
// entry keeps its icon, title and text apart, the heading stays above them).
FitResult FitToScreen(Size window, Size desktop, const std::map<int, Rect>& controls);
