#pragma once
// Forwarding only, until the last includer is changed: LoadText is in this one.
#include "res/StringTable.h"
