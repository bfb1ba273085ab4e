#include "winapp/HtmlDocument.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "res/Utf8.h"

namespace {
std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A NUL from an entity would cut the text where the view reads it.
void AppendEntityCharacter(std::string& out, std::uint32_t cp) { AppendUtf8(out, cp == 0 ? 0xFFFD : cp); }

// The entity at text[i] ('&'); appends its character and returns the length
// read, or 0 when it is no entity (the '&' then stands for itself).
std::size_t Entity(const std::string& text, std::size_t i, std::string& out) {
    const std::size_t end = text.find(';', i);
    if (end == std::string::npos || end - i > 10) return 0;
    const std::string name = text.substr(i + 1, end - i - 1);
    static const struct {
        const char* name;
        std::uint32_t cp;
    } kNamed[] = {{"amp", '&'},   {"lt", '<'},       {"gt", '>'},       {"quot", '"'},      {"apos", '\''},
                  {"nbsp", 0xA0}, {"ndash", 0x2013}, {"mdash", 0x2014}, {"hellip", 0x2026}, {"copy", 0xA9},
                  {"reg", 0xAE},  {"laquo", 0xAB},   {"raquo", 0xBB},   {"euro", 0x20AC}};
    for (const auto& e : kNamed)
        if (name == e.name) {
            AppendEntityCharacter(out, e.cp);
            return end - i + 1;
        }
    if (name.size() < 2 || name[0] != '#') return 0;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    std::uint32_t cp = 0;
    for (char c : digits) {
        const int v = std::isdigit(static_cast<unsigned char>(c))           ? c - '0'
                      : hex && std::isxdigit(static_cast<unsigned char>(c)) ? (std::tolower(c) - 'a' + 10)
                                                                            : -1;
        if (v < 0) return 0;
        cp = cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(v);
        if (cp > 0x10FFFF) cp = 0x110000;  // stays out of range, and bounded
    }
    AppendEntityCharacter(out, cp);
    return end - i + 1;
}

// The value of attribute name in a tag's inside ("a href=\"x\""), decoded.
std::string Attribute(const std::string& tag, const std::string& name) {
    const std::string lower = Lower(tag);
    std::size_t pos = 0;
    while ((pos = lower.find(name, pos)) != std::string::npos) {
        const bool startsWord = pos > 0 && std::isspace(static_cast<unsigned char>(lower[pos - 1]));
        std::size_t i = pos + name.size();
        while (i < tag.size() && tag[i] == ' ') ++i;
        if (!startsWord || i >= tag.size() || tag[i] != '=') {
            pos += name.size();
            continue;
        }
        ++i;
        while (i < tag.size() && tag[i] == ' ') ++i;
        std::string raw;
        if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
            const std::size_t close = tag.find(tag[i], i + 1);
            raw = tag.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
        } else {
            const std::size_t stop = tag.find_first_of(" \t\r\n>", i);
            raw = tag.substr(i, stop == std::string::npos ? std::string::npos : stop - i);
        }
        std::string value;
        for (std::size_t k = 0; k < raw.size();) {
            std::size_t n = raw[k] == '&' ? Entity(raw, k, value) : 0;
            if (n == 0)
                value += raw[k++];
            else
                k += n;
        }
        return value;
    }
    return {};
}

class Parser {
public:
    std::vector<HtmlBlock> Run(const std::string& html) {
        std::size_t i = 0;
        while (i < html.size()) {
            if (html[i] == '<') {
                i = Tag(html, i);
            } else if (html[i] == '&') {
                std::string decoded;
                std::size_t n = Entity(html, i, decoded);
                Text(n ? decoded : std::string(1, '&'));
                i += n ? n : 1;
            } else {
                Text(std::string(1, html[i]));
                ++i;
            }
        }
        Close();
        return std::move(m_blocks);
    }

private:
    std::size_t Tag(const std::string& html, std::size_t i) {
        if (html.compare(i, 4, "<!--") == 0) {
            const std::size_t end = html.find("-->", i + 4);
            return end == std::string::npos ? html.size() : end + 3;
        }
        std::size_t end = i + 1;
        char quote = 0;
        for (; end < html.size(); ++end) {
            if (quote) {
                if (html[end] == quote) quote = 0;
            } else if (html[end] == '"' || html[end] == '\'') {
                quote = html[end];
            } else if (html[end] == '>') {
                break;
            }
        }
        const std::string inside = html.substr(i + 1, end - i - 1);
        const bool closing = !inside.empty() && inside[0] == '/';
        std::size_t nameEnd = closing ? 1 : 0;
        while (nameEnd < inside.size() && std::isalnum(static_cast<unsigned char>(inside[nameEnd])))
            ++nameEnd;
        const std::string name = Lower(inside.substr(closing ? 1 : 0, nameEnd - (closing ? 1 : 0)));
        Element(name, closing, inside);
        if (end >= html.size()) return html.size();
        if (!closing && (name == "script" || name == "style")) {
            // Their text is not markup: it runs to the closing tag.
            const std::size_t close = Lower(html).find("</" + name, end + 1);
            return close == std::string::npos ? html.size() : close;
        }
        return end + 1;
    }

    void Element(const std::string& name, bool closing, const std::string& inside) {
        const int delta = closing ? -1 : 1;
        auto bump = [&](int& depth) { depth = std::max(0, depth + delta); };
        if (name == "head" || name == "script" || name == "style" || name == "title")
            bump(m_hidden);
        else if (name == "b" || name == "strong")
            bump(m_bold);
        else if (name == "i" || name == "em")
            bump(m_italic);
        else if (name == "tt" || name == "code" || name == "pre")
            bump(m_mono);
        else if (name == "small")
            bump(m_small);
        else if (name == "a")
            m_href = closing ? std::string() : Attribute(inside, "href");
        else if (name == "br")
            Break();
        else if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6')
            Open(closing ? HtmlBlock::kParagraph : HtmlBlock::kHeading, closing ? 0 : name[1] - '0');
        else if (name == "p" || name == "div" || name == "table" || name == "body")
            Open(HtmlBlock::kParagraph, 0);
        else if (name == "ul" || name == "ol") {
            bump(m_listDepth);
            Open(HtmlBlock::kParagraph, 0);
        } else if (name == "li" && !closing)
            Open(HtmlBlock::kListItem, std::max(1, m_listDepth));
        else if (name == "tr")
            Open(closing ? HtmlBlock::kParagraph : HtmlBlock::kTableRow, 0);
        else if ((name == "td" || name == "th") && !closing) {
            if (m_current.kind != HtmlBlock::kTableRow) Open(HtmlBlock::kTableRow, 0);
            if (!m_current.cells.back().empty() || m_cellStarted) m_current.cells.emplace_back();
            m_cellStarted = true;
            m_space = true;
        }
    }

    // Ends the current block and starts one of this kind.
    void Open(HtmlBlock::Kind kind, int level) {
        Close();
        m_current = HtmlBlock{kind, level, {{}}};
        m_space = true;
        m_cellStarted = false;
    }

    void Close() {
        for (auto& cell : m_current.cells) {
            // Trailing blanks and breaks say nothing.
            while (!cell.empty()) {
                std::string& t = cell.back().text;
                while (!t.empty() && (t.back() == ' ' || t.back() == '\n')) t.pop_back();
                if (!t.empty()) break;
                cell.pop_back();
            }
        }
        bool any = false;
        for (const auto& cell : m_current.cells) any = any || !cell.empty();
        if (any || (m_current.kind == HtmlBlock::kTableRow && m_current.cells.size() > 1))
            m_blocks.push_back(std::move(m_current));
        m_current = HtmlBlock{HtmlBlock::kParagraph, 0, {{}}};
    }

    void Break() {
        if (m_hidden > 0) return;
        auto& cell = m_current.cells.back();
        if (!cell.empty() && !cell.back().text.empty() && cell.back().text.back() == ' ')
            cell.back().text.pop_back();
        Append("\n");
        m_space = true;
    }

    void Text(const std::string& text) {
        if (m_hidden > 0) return;
        std::string piece;
        for (char c : text) {
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                if (!m_space) piece += ' ';
                m_space = true;
            } else {
                piece += c;
                m_space = false;
            }
        }
        if (!piece.empty()) Append(piece);
    }

    void Append(const std::string& piece) {
        auto& cell = m_current.cells.back();
        HtmlRun style{"", m_bold > 0, m_italic > 0, m_mono > 0, m_small > 0, m_href};
        if (!cell.empty()) {
            HtmlRun& last = cell.back();
            HtmlRun probe = style;
            probe.text = last.text;
            if (probe == last) {
                last.text += piece;
                return;
            }
        }
        style.text = piece;
        cell.push_back(std::move(style));
    }

    std::vector<HtmlBlock> m_blocks;
    HtmlBlock m_current{HtmlBlock::kParagraph, 0, {{}}};
    int m_hidden = 0, m_bold = 0, m_italic = 0, m_mono = 0, m_small = 0, m_listDepth = 0;
    std::string m_href;
    bool m_space = true;
    bool m_cellStarted = false;
};
}  // namespace

std::vector<HtmlBlock> ParseHtml(const std::string& html) { return Parser().Run(html); }
