#include "kb/ManIndex.h"

#include "kb/SourceFiles.h"

namespace {

// The NAME section sits near the top; the rest of a page is never needed.
constexpr std::size_t kPageHeadBytes = 12u << 10;
constexpr std::size_t kMaxSummaryBytes = 400;

// Plain text of a roff line: font changes and comments dropped, the
// common escapes replaced by what they print.
std::string RoffText(std::string_view line) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c != '\\' || i + 1 >= line.size()) {
            out += c;
            continue;
        }
        char e = line[++i];
        switch (e) {
            case '-':
                out += '-';
                break;
            case 'e':
            case '\\':
                out += '\\';
                break;
            case '&':
            case '/':
            case ',':
            case ':':
            case '%':
                break;
            case ' ':
            case '~':
                out += ' ';
                break;
            case '"':
                return out;  // comment to the end of the line
            case '(':        // \(em and other two-letter glyphs
                if (i + 2 < line.size()) {
                    std::string_view glyph = line.substr(i + 1, 2);
                    out += glyph == "aq" ? "'" : glyph == "dq" ? "\"" : "-";
                    i += 2;
                }
                break;
            case 'f':  // fonts: \fB, \f(CW, \f[B]
            case '*':  // strings: \*(Lq, \*[R], \*R
                if (i + 1 < line.size() && line[i + 1] == '(')
                    i += 3;
                else if (i + 1 < line.size() && line[i + 1] == '[') {
                    std::size_t close = line.find(']', i);
                    i = close == std::string_view::npos ? line.size() : close;
                } else
                    ++i;
                break;
            default:
                out += e;
        }
    }
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool IsSectionHeading(std::string_view line) {
    return line.substr(0, 3) == ".SH" || line.substr(0, 3) == ".Sh";
}

bool IsNameHeading(std::string_view line) {
    if (!IsSectionHeading(line)) return false;
    std::string_view title = Trim(line.substr(3));
    if (!title.empty() && title.front() == '"') title = Trim(title.substr(1, title.find('"', 1) - 1));
    return title == "NAME" || title == "Name";
}

}  // namespace

bool ParseManName(std::string_view page, std::vector<std::string>& names, std::string& summary) {
    names.clear();
    summary.clear();
    std::string text;  // the section's text on one line
    bool inName = false;
    std::size_t pos = 0;
    while (pos < page.size()) {
        std::size_t end = page.find('\n', pos);
        if (end == std::string_view::npos) end = page.size();
        std::string_view line = page.substr(pos, end - pos);
        pos = end + 1;
        if (!inName) {
            inName = IsNameHeading(line);
            continue;
        }
        if (IsSectionHeading(line)) break;
        if (line.substr(0, 3) == ".\\\"" || line.substr(0, 4) == "'\\\"") continue;
        std::string piece;
        if (line.substr(0, 3) == ".Nm") {
            piece = RoffText(Trim(line.substr(3)));
            if (!text.empty() && text.find(" - ") == std::string::npos) piece = ", " + piece;
        } else if (line.substr(0, 3) == ".Nd") {
            piece = " - " + RoffText(Trim(line.substr(3)));
        } else if (!line.empty() && line[0] == '.') {
            // A macro line: keep its arguments' text (".B name", ".IX ...").
            std::size_t blank = line.find(' ');
            std::string_view macro = line.substr(0, blank);
            if (macro == ".IX" || macro == ".PP" || macro == ".LP" || macro == ".P" || macro == ".nh" ||
                macro == ".ad" || macro == ".hy" || macro == ".na" || blank == std::string_view::npos)
                continue;
            piece = RoffText(Trim(line.substr(blank + 1)));
            std::string unquoted;
            for (char c : piece)
                if (c != '"') unquoted += c;
            piece = unquoted;
        } else {
            piece = RoffText(line);
        }
        if (!text.empty() && !piece.empty() && piece[0] != ',') text += ' ';
        text += piece;
        if (text.size() > 4 * kMaxSummaryBytes) break;
    }
    std::size_t dash = text.find(" - ");
    if (dash == std::string::npos) return false;
    std::string_view list = Trim(std::string_view(text).substr(0, dash));
    std::string_view rest = Trim(std::string_view(text).substr(dash + 3));
    while (!list.empty()) {
        std::size_t comma = list.find(',');
        std::string_view name = Trim(list.substr(0, comma));
        if (!name.empty()) names.emplace_back(name);
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
    }
    // Collapse runs of blanks that joined lines leave behind.
    for (char c : rest) {
        if (c == ' ' && !summary.empty() && summary.back() == ' ') continue;
        summary += c;
    }
    if (summary.size() > kMaxSummaryBytes) summary.resize(kMaxSummaryBytes);
    return !names.empty() && !summary.empty();
}

void CManIndex::Build(ISourceFiles& files, const std::vector<std::string>& folders) {
    m_summary.clear();
    std::vector<std::string> names;
    std::string summary, page;
    for (const std::string& folder : folders) {
        for (const std::string& file : files.List(folder)) {
            if (!files.Read(folder + "/" + file, kPageHeadBytes, page)) continue;
            if (!ParseManName(page, names, summary)) continue;
            for (const std::string& name : names) m_summary.emplace(name, summary);
            // The file's own stem ("bash" of bash.1.gz) may not be listed.
            std::string stem = file;
            if (stem.size() > 3 && stem.compare(stem.size() - 3, 3, ".gz") == 0) stem.resize(stem.size() - 3);
            stem = stem.substr(0, stem.rfind('.'));
            if (!stem.empty()) m_summary.emplace(stem, summary);
        }
    }
}

const std::string* CManIndex::Find(const std::string& name) const {
    auto it = m_summary.find(name);
    return it == m_summary.end() ? nullptr : &it->second;
}
