#pragma once
#include <QRect>

class QScreen;

// Where the notification area is: the icon's own place when the tray tells
// it (empty on StatusNotifierItem trays), else a 150 x 30 box in the
// bottom-right corner of the screen's work area.
QRect GetTrayRect(const QRect& iconGeometry, const QScreen* screen);

// A frame flying between the window's place and the tray's for a moment;
// it does not hold the caller up.
void AnimateTray(bool toTray, const QRect& window, const QRect& tray);
