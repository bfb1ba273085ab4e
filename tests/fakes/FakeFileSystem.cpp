#include "tests/fakes/FakeFileSystem.h"

#include "res/CaseInsensitive.h"

bool CFakeFileSystem::EntryExists(const std::string& path) {
    ++lookups;
    if (!ignoreCase) return entries.count(path) != 0;
    for (const auto& e : entries)
        if (EqualsNoCase(e, path)) return true;
    return false;
}
