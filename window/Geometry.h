#pragma once

// Pixel geometry of the dialog, toolkit-neutral. A rectangle is its top-left
// corner and its size, the way the dialog template writes positions.
struct Size {
    int cx = 0;
    int cy = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};
