#pragma once
#include <cstdint>
#include <string>

#include "monitor/ReportList.h"

class CProcess;

// The "Activity" column of a record at `now`: "Program closed" for an ended
// program, then each kind still inside its window with its age, e.g.
// "Hard disk (4 seconds ago), Processor".
std::string ComposeActivityText(const CProcess& record, std::int64_t now);

// Age in seconds of the freshest activity still strictly inside its window,
// 20 when there is none; the grey of the row follows from it.
std::int64_t ActivityAge(const CProcess& record, std::int64_t now);

// Grey of a row whose activity is `age` seconds old: 10 x age + 30 in every
// channel; kDefaultColor for an age of 0 or less (activity this very second).
ColorRef FadeColor(std::int64_t age);

// The row's text colour: red for an ended program, else the fade.
ColorRef RowColor(const CProcess& record, std::int64_t now);

inline constexpr ColorRef kEndedColor = Rgb(255, 0, 0);
