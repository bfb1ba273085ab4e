#pragma once
#include <cstdint>
#include <string>

// Local date in the user's short date format (LC_TIME) and the time in
// parentheses: "06.12.2026 (13:55:10)" under a German locale. "unknown" for
// 0, which stands for a time nobody could learn (a file system without birth
// times), not for the first second of 1970. Empty if the time cannot be
// converted to local time.
std::string FormatDateTime(std::int64_t time);
