#pragma once
#include <string>
#include <unordered_map>
#include <vector>

class ISourceFiles;

// What a desktop entry says about the program it starts.
struct KbDesktopEntry {
    std::string name;
    std::string comment;
};

// Desktop entries (freedesktop.org .desktop files) by the
// program their Exec line starts: by full path where Exec names one, by
// file name otherwise. Earlier folders win, as on the desktop.
class CDesktopIndex {
public:
    void Build(ISourceFiles& files, const std::vector<std::string>& folders);

    // The entry starting path, else one starting fileName by a bare name.
    const KbDesktopEntry* Find(const std::string& path, const std::string& fileName) const;
    std::size_t Size() const { return m_byPath.size() + m_byName.size(); }

private:
    std::unordered_map<std::string, KbDesktopEntry> m_byPath;
    std::unordered_map<std::string, KbDesktopEntry> m_byName;
};

// The program of an Exec value: its first word (quotes removed) after any
// "env" and VAR=value words; empty if there is none.
std::string ExecProgram(const std::string& exec);
