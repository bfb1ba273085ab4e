#include "kb/Query.h"

#include <array>
#include <charconv>
#include <utility>

#include "platform/QueryKeys.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Quoted(QueryKey key) { return "\"" + std::string(kQueryKeys[key]) + "\""; }

// Where each text value goes; the flags and the number are parsed apart.
constexpr std::pair<QueryKey, std::string KbQuery::*> kTextFields[] = {
    {kFileNameKey, &KbQuery::fileName},          {kFolderKey, &KbQuery::folder},
    {kFileCreatedKey, &KbQuery::fileCreated},    {kFolderCreatedKey, &KbQuery::folderCreated},
    {kProcessStartKey, &KbQuery::processStart},  {kProductNameKey, &KbQuery::productName},
    {kFileVersionKey, &KbQuery::fileVersion},    {kFileDescriptionKey, &KbQuery::fileDescription},
    {kCompanyNameKey, &KbQuery::companyName},    {kLegalCopyrightKey, &KbQuery::legalCopyright},
    {kCommentsKey, &KbQuery::comments},          {kInternalNameKey, &KbQuery::internalName},
    {kClientVersionKey, &KbQuery::clientVersion}};

bool ParseFlag(const std::string& text, bool& flag) {
    if (text != "0" && text != "1") return false;
    flag = text == "1";
    return true;
}

bool ParseLong(const std::string& text, long& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end;
}

}  // namespace

std::string KbQuery::Path() const {
    // A program in the root folder comes with an empty folder.
    if (folder.empty() || folder.back() == '/') return (folder.empty() ? "/" : folder) + fileName;
    return folder + "/" + fileName;
}

bool PercentDecode(std::string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c != '%') {
            out += c;
        } else {
            int high = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
            int low = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
            if (high < 0 || low < 0) return false;
            out += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return true;
}

bool ParseKbQuery(std::string_view target, KbQuery& query, std::string& error) {
    if (target.size() > kMaxTargetBytes) {
        error = "The request is too long.";
        return false;
    }
    std::size_t mark = target.find('?');
    std::string_view rest = mark == std::string_view::npos ? std::string_view{} : target.substr(mark + 1);

    std::array<std::string, kQueryKeyCount> values;
    std::array<bool, kQueryKeyCount> seen{};
    while (!rest.empty()) {
        std::size_t amp = rest.find('&');
        std::string_view pair = rest.substr(0, amp);
        rest = amp == std::string_view::npos ? std::string_view{} : rest.substr(amp + 1);
        if (pair.empty()) continue;
        std::size_t eq = pair.find('=');
        std::string_view key = pair.substr(0, eq);
        std::string_view raw = eq == std::string_view::npos ? std::string_view{} : pair.substr(eq + 1);
        std::size_t k = 0;
        while (k < kQueryKeyCount && kQueryKeys[k] != key) ++k;
        if (k == kQueryKeyCount) continue;  // other keys (lang, later additions) do not matter here
        if (seen[k]) {
            error = "The key \"" + std::string(key) + "\" appears twice.";
            return false;
        }
        seen[k] = true;
        if (!PercentDecode(raw, values[k])) {
            error = "The value of \"" + std::string(key) + "\" holds a malformed %-escape.";
            return false;
        }
        if (values[k].size() > kMaxValueBytes) {
            error = "The value of \"" + std::string(key) + "\" is too long.";
            return false;
        }
        if (values[k].find('\0') != std::string::npos) {
            error = "The value of \"" + std::string(key) + "\" holds a NUL byte.";
            return false;
        }
    }
    for (std::size_t k = 0; k < kQueryKeyCount; ++k) {
        if (!seen[k]) {
            error = "The key \"" + std::string(kQueryKeys[k]) + "\" is missing.";
            return false;
        }
    }

    KbQuery q;
    if (!ParseFlag(values[kSignedKey], q.isSigned) ||
        !ParseFlag(values[kInSystemFolderKey], q.inSystemFolder)) {
        error = "The keys " + Quoted(kSignedKey) + " and " + Quoted(kInSystemFolderKey) + " take 0 or 1.";
        return false;
    }
    if (!ParseLong(values[kFolderStampKey], q.folderStamp)) {
        error = "The key " + Quoted(kFolderStampKey) + " takes a whole number.";
        return false;
    }
    if (values[kFileNameKey].find('/') != std::string::npos) {
        error = "The key " + Quoted(kFileNameKey) + " takes a file name, not a path.";
        return false;
    }
    for (const auto& [key, field] : kTextFields) q.*field = std::move(values[key]);
    query = std::move(q);
    return true;
}
