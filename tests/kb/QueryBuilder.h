#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "online/UrlEncoding.h"

// A request target as the program sends it (its own UrlEncode), with
// values replaced or keys left out as a case needs.
inline const std::vector<std::pair<std::string, std::string>>& QueryDefaults() {
    static const std::vector<std::pair<std::string, std::string>> kDefaults = {
        {"fn", "bash"},
        {"p", "/usr/bin"},
        {"ct1", "01/02/26 (10:00:00)"},
        {"ct2", ""},
        {"ct3", "06.12.2026 (13:55:10)"},
        {"se", "1"},
        {"iwf", "1"},
        {"pn", "bash"},
        {"fv", "5.2.15-2"},
        {"fd", "GNU Bourne Again SHell"},
        {"cn", "Matthias Klose"},
        {"lc", "Copyright (C) 1987-2022 Free Software Foundation, Inc."},
        {"c", ""},
        {"in", "bash"},
        {"v", "1.13"},
        {"wd", "12345"}};
    return kDefaults;
}

inline std::string KbTarget(const std::map<std::string, std::string>& changes = {},
                            const std::string& omit = "") {
    std::string target = "/index.php?lang=en&";
    bool first = true;
    for (const auto& [key, value] : QueryDefaults()) {
        if (key == omit) continue;
        auto changed = changes.find(key);
        const std::string& v = changed == changes.end() ? value : changed->second;
        // Numbers go out as they are, texts escaped: as the program does.
        bool number = key == "se" || key == "iwf" || key == "wd" || key == "v";
        target += (first ? "" : "&") + key + "=" + (number ? v : UrlEncode(v));
        first = false;
    }
    return target;
}
