#pragma once
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class ISourceFiles;

// One-line summaries of manual pages ("bash - GNU Bourne-Again SHell"
// gives bash -> "GNU Bourne-Again SHell"), from the NAME section of each
// page in the given folders, plain or gzip-compressed. Earlier folders win.
class CManIndex {
public:
    void Build(ISourceFiles& files, const std::vector<std::string>& folders);
    const std::string* Find(const std::string& name) const;
    std::size_t Size() const { return m_summary.size(); }

private:
    std::unordered_map<std::string, std::string> m_summary;
};

// The names and the summary of a page's NAME section, roff (man(7)) or
// mdoc (mdoc(7)); false when the page has none (".so" links included).
bool ParseManName(std::string_view page, std::vector<std::string>& names, std::string& summary);
