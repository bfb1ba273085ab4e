#include "actions/MessageCaption.h"

#include "res/StringTable.h"

std::string MessageCaption() { return LoadText(IDS_TITLE) + " " + std::string(kVersion); }
