#pragma once
#include <string>

// LOADWATCH_KB_URL when set and not empty, else the built-in address.
std::string KnowledgeBaseUrl();
