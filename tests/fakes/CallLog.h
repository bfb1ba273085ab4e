#pragma once
#include <string>
#include <vector>

// One log shared by the fakes of the actions' platform, so tests can check
// the order of calls across them.
using CallLog = std::vector<std::string>;
