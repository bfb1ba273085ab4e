#pragma once

class QWidget;

// A short flash of a link: its background lights up a few times and is
// gone within a second. Never a box or a sound.
void FlashLink(QWidget* link);
