#include "res/HtmlText.h"

#include "res/Utf8.h"

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

}  // namespace

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size();) {
        char c = text[i];
        auto u = static_cast<unsigned char>(c);
        if (u >= 0x80) {
            std::size_t n = Utf8Length(text, i);
            if (n == 0) {
                out += kReplacement;
                ++i;
            } else if (std::size_t at = i; IsHiddenControl(DecodeUtf8(text, at))) {
                out += kReplacement;  // one for the whole character
                i += n;
            } else {
                out.append(text.substr(i, n));
                i += n;
            }
            continue;
        }
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            case '\t':
            case '\n':
                out += c;
                break;
            default:
                if (u < 0x20 || u == 0x7F)
                    out += kReplacement;
                else
                    out += c;
        }
        ++i;
    }
    return out;
}

std::string SafeLinkTarget(std::string_view url) {
    auto startsWith = [url](std::string_view prefix) {
        if (url.size() <= prefix.size()) return false;
        for (std::size_t i = 0; i < prefix.size(); ++i)
            if ((url[i] | 0x20) != prefix[i]) return false;
        return true;
    };
    if (!startsWith("http://") && !startsWith("https://")) return {};
    for (char c : url)
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return {};
    return HtmlEscape(url);
}
