#include "platform/linux/DpkgDatabase.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "platform/Digest.h"
#include "platform/FileContent.h"

namespace {

constexpr std::size_t kStatusLimit = std::size_t{512} << 20;
constexpr std::size_t kListLimit = std::size_t{256} << 20;
constexpr std::size_t kCopyrightLimit = std::size_t{256} << 10;
constexpr std::size_t kHashChunk = std::size_t{1} << 20;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// Calls f with each line of text, without its line break.
template <typename F>
void ForEachLine(std::string_view text, F&& f) {
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        f(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return fold(x) == fold(y); });
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

bool IsInstalled(std::string_view status) {
    // "want flag state": only the state matters, and only a complete
    // installation has its files in place.
    std::size_t cut = status.rfind(' ');
    return cut != std::string_view::npos && status.substr(cut + 1) == "installed";
}

// Turns one stanza's fields into a package; false if not installed.
struct StanzaFields {
    std::string_view package, status, architecture, multiArch, version, description, maintainer, homepage,
        source;
};

bool ToPackage(const StanzaFields& f, PackageInfo& p) {
    if (f.package.empty() || !IsInstalled(f.status)) return false;
    p = {};
    p.name = f.package;
    p.architecture = f.architecture;
    p.version = f.version;
    // The Description's first line is the synopsis; its continuation lines,
    // each without its leading blank, the extended description.
    std::string_view description = f.description;
    std::size_t cut = description.find('\n');
    p.synopsis = Trim(description.substr(0, cut));
    while (cut != std::string_view::npos) {
        description.remove_prefix(cut + 1);
        cut = description.find('\n');
        std::string_view line = description.substr(0, cut);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        p.description.emplace_back(line.substr(line.empty() ? 0 : 1));
    }
    std::string_view maintainer = f.maintainer;
    std::size_t mail = maintainer.find('<');
    p.maintainerName = Trim(maintainer.substr(0, mail));
    p.homepage = f.homepage;
    std::string_view source = f.source.substr(0, f.source.find(' '));
    p.source = source.empty() ? p.name : std::string(source);
    // Packages that may be installed for several architectures at once keep
    // their files under the qualified name.
    bool qualified = f.multiArch == "same" && !p.architecture.empty();
    p.infoStem = qualified ? p.name + ":" + p.architecture : p.name;
    return true;
}

std::vector<PackageInfo> ParseStatus(std::string_view text) {
    std::vector<PackageInfo> packages;
    StanzaFields fields;
    bool inDescription = false;
    auto finish = [&] {
        PackageInfo p;
        if (ToPackage(fields, p)) packages.push_back(std::move(p));
        fields = {};
        inDescription = false;
    };
    ForEachLine(text, [&](std::string_view line) {
        if (Trim(line).empty()) {
            finish();
            return;
        }
        if (line.front() == ' ' || line.front() == '\t') {
            // Only the Description's continuation is kept: its view grows
            // over the line, which follows it in the same text.
            if (inDescription)
                fields.description = std::string_view(
                    fields.description.data(),
                    static_cast<std::size_t>(line.data() + line.size() - fields.description.data()));
            return;
        }
        inDescription = false;
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) return;
        std::string_view name = line.substr(0, colon);
        std::string_view value = Trim(line.substr(colon + 1));
        struct {
            std::string_view name;
            std::string_view StanzaFields::*field;
        } static constexpr kFields[] = {
            {"Package", &StanzaFields::package},
            {"Status", &StanzaFields::status},
            {"Architecture", &StanzaFields::architecture},
            {"Multi-Arch", &StanzaFields::multiArch},
            {"Version", &StanzaFields::version},
            {"Description", &StanzaFields::description},
            {"Maintainer", &StanzaFields::maintainer},
            {"Homepage", &StanzaFields::homepage},
            {"Source", &StanzaFields::source},
        };
        for (const auto& f : kFields) {
            if (name.size() == f.name.size() && StartsWithNoCase(name, f.name)) {
                fields.*f.field = value;
                inDescription = f.field == &StanzaFields::description;
                break;
            }
        }
    });
    finish();
    return packages;
}

bool HasYearOrMark(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9') return true;
        if (StartsWithNoCase(s.substr(i), "(c)") || s.substr(i, 2) == "\xC2\xA9") return true;
    }
    return false;
}

}  // namespace

std::vector<std::string> PackagePathSpellings(const std::string& path) {
    std::vector<std::string> spellings{path};
    // The folders that the /usr merge turned into links to their /usr twins.
    static constexpr std::string_view kMerged[] = {"bin/", "sbin/", "lib/", "lib32/", "lib64/", "libx32/"};
    std::string_view p(path);
    for (std::string_view dir : kMerged) {
        if (p.size() > 5 + dir.size() && p.substr(0, 5) == "/usr/" && p.substr(5, dir.size()) == dir) {
            spellings.push_back(path.substr(4));
            break;
        }
        if (p.size() > 1 + dir.size() && p[0] == '/' && p.substr(1, dir.size()) == dir) {
            spellings.push_back("/usr" + path);
            break;
        }
    }
    return spellings;
}

CDpkgDatabase::CDpkgDatabase(IFileContent& content, IDigestFactory& digests, DpkgDatabasePaths paths)
    : m_content(content), m_digests(digests), m_paths(std::move(paths)) {}

bool CDpkgDatabase::ReadText(const std::string& path, std::size_t limit, std::string& text) {
    text.clear();
    std::unique_ptr<IReadableFile> file = m_content.OpenFile(path);
    if (!file) return false;
    std::uint64_t size = file->Size();
    if (size > limit) size = limit;
    text.resize(static_cast<std::size_t>(size));
    if (size != 0 && !file->ReadAt(0, text.data(), text.size())) {
        text.clear();
        return false;
    }
    return true;
}

void CDpkgDatabase::BuildIndex() {
    if (m_built) return;
    m_built = true;
    std::string status;
    if (!ReadText(m_paths.adminDir + "/status", kStatusLimit, status)) return;
    m_packages = ParseStatus(status);
    const std::string info = m_paths.adminDir + "/info/";
    // A package lists a hundred or more paths on average; growing the table
    // step by step would rehash it many times over.
    m_owner.reserve(m_packages.size() * 128);
    for (std::size_t i = 0; i < m_packages.size(); ++i) {
        PackageInfo& p = m_packages[i];
        std::string& text = m_listTexts.emplace_back();
        if (!ReadText(info + p.infoStem + ".list", kListLimit, text)) {
            // Older databases did not qualify the names; be lenient both ways.
            std::string other = p.infoStem == p.name ? p.name + ":" + p.architecture : p.name;
            if (p.architecture.empty() || !ReadText(info + other + ".list", kListLimit, text)) continue;
            p.infoStem = other;
        }
        ForEachLine(text, [&](std::string_view line) {
            if (!line.empty() && line.front() == '/') m_owner.emplace(line, static_cast<std::uint32_t>(i));
        });
    }
}

const PackageInfo* CDpkgDatabase::FindOwner(const std::string& path, std::string* recordedPath) {
    BuildIndex();
    for (const std::string& spelling : PackagePathSpellings(path)) {
        auto it = m_owner.find(spelling);
        if (it == m_owner.end()) continue;
        if (recordedPath) *recordedPath = spelling;
        return &m_packages[it->second];
    }
    return nullptr;
}

std::string CDpkgDatabase::FirstCopyrightLine(const PackageInfo& package) {
    std::string text;
    if (!ReadText(m_paths.docDir + "/" + package.name + "/copyright", kCopyrightLimit, text)) return {};
    std::string found;
    ForEachLine(text, [&](std::string_view line) {
        if (!found.empty()) return;
        line = Trim(line);
        if (!StartsWithNoCase(line, "copyright") || !HasYearOrMark(line)) return;
        // The machine-readable form has a field "Copyright: ..."; it reads
        // as the plain notice without its colon.
        std::string_view rest = line.substr(9);
        if (!rest.empty() && rest.front() == ':') rest = Trim(rest.substr(1));
        found = "Copyright " + std::string(Trim(rest));
    });
    return found;
}

bool CDpkgDatabase::GetVersionStrings(const std::string& path, VersionStrings& strings) {
    const PackageInfo* p = FindOwner(path);
    if (!p) return false;
    strings.m_strProductName = p->name;
    strings.m_strFileVersion = p->version;
    strings.m_strFileDescription = p->synopsis;
    strings.m_strCompanyName = p->maintainerName;
    strings.m_strLegalCopyright = FirstCopyrightLine(*p);
    strings.m_strComments = p->homepage;
    strings.m_strInternalName = p->source;
    return true;
}

bool CDpkgDatabase::VerifyFile(const std::string& path) {
    std::string recorded;
    const PackageInfo* p = FindOwner(path, &recorded);
    if (!p) return false;
    std::string sums;
    if (!ReadText(m_paths.adminDir + "/info/" + p->infoStem + ".md5sums", kListLimit, sums)) return false;
    // "HEX  relative/path"
    const std::string_view wanted = std::string_view(recorded).substr(1);
    std::string expected;
    ForEachLine(sums, [&](std::string_view line) {
        if (!expected.empty()) return;
        std::size_t gap = line.find(' ');
        if (gap != 32) return;
        std::string_view name = line.substr(gap);
        while (!name.empty() && (name.front() == ' ' || name.front() == '*')) name.remove_prefix(1);
        if (name == wanted) expected = line.substr(0, gap);
    });
    if (expected.empty()) return false;

    std::unique_ptr<IReadableFile> file = m_content.OpenFile(path);
    std::unique_ptr<IDigest> md5 = m_digests.NewMd5();
    if (!file || !md5) return false;
    std::vector<char> chunk(kHashChunk);
    const std::uint64_t size = file->Size();
    for (std::uint64_t at = 0; at < size;) {
        std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), size - at));
        if (!file->ReadAt(at, chunk.data(), n)) return false;
        md5->Update(chunk.data(), n);
        at += n;
    }
    // A file that grew after it was opened is not the recorded one either.
    char extra;
    if (file->ReadAt(size, &extra, 1)) return false;
    std::string actual = md5->FinishHex();
    return !actual.empty() && EqualsNoCase(actual, expected);
}
