#include "kb/DesktopIndex.h"

#include <string_view>

#include "kb/SourceFiles.h"

namespace {

constexpr std::size_t kMaxEntryBytes = 256u << 10;

// Splits an Exec value into words: blanks separate, double quotes group,
// a backslash escapes the next character inside quotes.
std::vector<std::string> ExecWords(const std::string& exec) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        char c = exec[i];
        if (quoted) {
            if (c == '\\' && i + 1 < exec.size())
                word += exec[++i];
            else if (c == '"')
                quoted = false;
            else
                word += c;
        } else if (c == '"') {
            quoted = inWord = true;
        } else if (c == ' ' || c == '\t') {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

bool IsAssignment(const std::string& word) {
    std::size_t eq = word.find('=');
    return eq != std::string::npos && eq > 0 && word[0] != '/';
}

}  // namespace

std::string ExecProgram(const std::string& exec) {
    std::vector<std::string> words = ExecWords(exec);
    std::size_t i = 0;
    if (i < words.size() && (words[i] == "env" || words[i] == "/usr/bin/env")) {
        ++i;
        while (i < words.size() && (IsAssignment(words[i]) || (!words[i].empty() && words[i][0] == '-'))) {
            // -u NAME and -C DIR take the next word along.
            bool takesValue =
                words[i] == "-u" || words[i] == "-C" || words[i] == "--unset" || words[i] == "--chdir";
            i += takesValue ? 2 : 1;
        }
    }
    return i < words.size() ? words[i] : std::string{};
}

void CDesktopIndex::Build(ISourceFiles& files, const std::vector<std::string>& folders) {
    m_byPath.clear();
    m_byName.clear();
    for (const std::string& folder : folders) {
        for (const std::string& name : files.List(folder)) {
            if (name.size() <= 8 || name.compare(name.size() - 8, 8, ".desktop") != 0) continue;
            std::string text;
            if (!files.Read(folder + "/" + name, kMaxEntryBytes, text)) continue;
            // Only the main group's plain keys: localized ones ("Name[de]")
            // do not match, and the page is in English.
            bool mainGroup = false, hidden = false;
            std::string type, exec;
            KbDesktopEntry entry;
            std::size_t pos = 0;
            while (pos < text.size()) {
                std::size_t end = text.find('\n', pos);
                if (end == std::string::npos) end = text.size();
                std::string_view line(text.data() + pos, end - pos);
                pos = end + 1;
                if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
                if (line.empty() || line[0] == '#') continue;
                if (line[0] == '[') {
                    mainGroup = line == "[Desktop Entry]";
                    continue;
                }
                if (!mainGroup) continue;
                std::size_t eq = line.find('=');
                if (eq == std::string_view::npos) continue;
                std::string_view key = line.substr(0, eq);
                while (!key.empty() && key.back() == ' ') key.remove_suffix(1);
                std::string_view value = line.substr(eq + 1);
                while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
                if (key == "Name")
                    entry.name = value;
                else if (key == "Comment")
                    entry.comment = value;
                else if (key == "Exec")
                    exec = value;
                else if (key == "Type")
                    type = value;
                else if (key == "Hidden")
                    hidden = value == "true";
            }
            if (hidden || type != "Application" || entry.name.empty()) continue;
            std::string program = ExecProgram(exec);
            if (program.empty()) continue;
            if (program[0] == '/')
                m_byPath.emplace(program, std::move(entry));
            else if (program.find('/') == std::string::npos)
                m_byName.emplace(program, std::move(entry));
        }
    }
}

const KbDesktopEntry* CDesktopIndex::Find(const std::string& path, const std::string& fileName) const {
    if (auto it = m_byPath.find(path); it != m_byPath.end()) return &it->second;
    if (auto it = m_byName.find(fileName); it != m_byName.end()) return &it->second;
    return nullptr;
}
