#include "winapp/KnowledgeBaseUrl.h"

#include <cstdlib>

#include "res/StringTable.h"
#include "res/Text.h"

std::string KnowledgeBaseUrl() {
    const char* fromEnvironment = std::getenv("LOADWATCH_KB_URL");
    return fromEnvironment && *fromEnvironment ? fromEnvironment : LoadText(IDS_KB_BASE_URL);
}
