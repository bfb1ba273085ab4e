#pragma once
#include "window/Geometry.h"

// Dialog units follow the dialog font: a horizontal unit is a quarter of
// the font's average character width, a vertical unit an eighth of its
// height, so the layout grows with the font and the screen's scaling.
struct DialogBaseUnits {
    int cx = 0;
    int cy = 0;
};

// Base units of a font whose 52 letters "A".."Z", "a".."z" measure
// `widthOf52Letters` pixels together and whose height is `height` pixels:
// the average width rounded to the nearest pixel, as Windows computes it.
DialogBaseUnits BaseUnitsFromFont(int widthOf52Letters, int height);

// A rectangle in dialog units as pixels, each value rounded to the nearest.
Rect MapDialogRect(const Rect& dlu, DialogBaseUnits base);
Size MapDialogSize(const Size& dlu, DialogBaseUnits base);
