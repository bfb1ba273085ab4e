#pragma once

class QWidget;

// A short flash of a link: its background lights up a few times and is
// gone within a second, and the link then looks as it did before. A second
// flash during the first starts over. Never a box or a sound.
void FlashLink(QWidget* link);
