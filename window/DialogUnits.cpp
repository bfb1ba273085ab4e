#include "window/DialogUnits.h"

namespace {
// a * b / c rounded half away from zero, for non-negative c.
int MulDiv(int a, int b, int c) {
    const long long p = static_cast<long long>(a) * b;
    return static_cast<int>(p >= 0 ? (p + c / 2) / c : (p - c / 2) / c);
}
}  // namespace

DialogBaseUnits BaseUnitsFromFont(int widthOf52Letters, int height) {
    return {(widthOf52Letters / 26 + 1) / 2, height};
}

Rect MapDialogRect(const Rect& dlu, DialogBaseUnits base) {
    // The corners are mapped, so adjacent controls stay adjacent.
    const int left = MulDiv(dlu.x, base.cx, 4);
    const int top = MulDiv(dlu.y, base.cy, 8);
    return {left, top, MulDiv(dlu.x + dlu.width, base.cx, 4) - left,
            MulDiv(dlu.y + dlu.height, base.cy, 8) - top};
}

Size MapDialogSize(const Size& dlu, DialogBaseUnits base) {
    return {MulDiv(dlu.cx, base.cx, 4), MulDiv(dlu.cy, base.cy, 8)};
}
