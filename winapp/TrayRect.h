#pragma once
#include "platform/windows/Win32.h"

// The notification area's screen rectangle, for the minimise animation:
// the taskbar's notification window less its clock, else a guess from the
// taskbar's edge, else a box in the work area's bottom-right corner.
RECT GetTrayRect();
