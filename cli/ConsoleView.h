#pragma once
#include <string>

#include "monitor/ReportList.h"

// Renders the list as text: a heading, then one line per row with the
// program padded to a column. With colors, each row carries its text
// colour as a 24-bit terminal colour (the default colour stays plain).
std::string RenderList(const IReportList& list, bool colors);

// The escape sequence that sets a row's colour; empty for kDefaultColor.
std::string ColorEscape(ColorRef color);
