#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "kb/AdviceDatabase.h"

// One program of the shipped advice and the other names it runs under.
struct AdviceSeedRow {
    int line = 0;  // in the seed text, for errors found when loading it
    KbAdvice advice;
    std::vector<std::string> names;
};

// The rows of the tab-separated seed (kb/data/advice.tsv): program, kind,
// what, close, busy, then the other names. Lines starting with # and empty
// lines are passed over. Throws std::runtime_error naming the first
// malformed line, so a bad edit never loads half the data.
std::vector<AdviceSeedRow> ParseAdviceSeed(std::string_view text);
