#pragma once
#include <cstdio>

class CProcesses;

// Prints the list once a second, `count` times (forever if count < 0).
// Terminal output redraws the screen in colour; other output appends one
// block of plain text per refresh, separated by a blank line. Wide adds the
// process ids and amounts.
int RunWatch(CProcesses& processes, long count, std::FILE* out, bool terminal, bool wide = false);
