#include "details/VersionResource.h"

#include <algorithm>
#include <array>

#include "platform/FileContent.h"
#include "res/CaseInsensitive.h"
#include "res/TextFormat.h"
#include "res/Utf8.h"

// File layout: Microsoft "PE Format" (DOS stub, COFF header, optional header
// data directories, section table, .rsrc resource directory tree) and the
// VS_VERSIONINFO / StringFileInfo / VarFileInfo structures of the Win32
// version information documentation. All numbers are little-endian.

namespace {

std::uint16_t Read16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t Read32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

constexpr std::uint32_t kResourceTypeVersion = 16;
constexpr std::uint32_t kVersionResourceId = 1;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;
// The loader refuses more sections than this.
constexpr std::uint16_t kMaxSections = 96;
// wLength is 16 bits wide: a version resource is never larger.
constexpr std::uint32_t kMaxVersionResource = 0x10000;

constexpr std::uint32_t kLangNeutral = 0x0000;
constexpr std::uint32_t kLangEnglishUs = 0x0409;
constexpr std::uint32_t kSublangDefault = 1;
std::uint32_t PrimaryLanguage(std::uint32_t langId) { return langId & 0x3FF; }

// Where a language entry stands in the order the resource loader tries them,
// lower first: the user's language; the same primary language, neutral and
// default sub-languages before the others; neutral; English (US); anything
// else, where the first entry wins.
int LanguageRank(std::uint32_t entry, std::uint16_t user) {
    if (entry & kSubdirectoryBit) return 7;  // a string name: no language
    const std::uint32_t primary = PrimaryLanguage(user);
    if (entry == user) return 0;
    if (entry == primary) return 1;
    if (entry == (kSublangDefault << 10 | primary)) return 2;
    if (PrimaryLanguage(entry) == primary) return 3;
    if (entry == kLangNeutral) return 4;
    if (PrimaryLanguage(entry) == kLangNeutral) return 5;
    if (entry == kLangEnglishUs) return 6;
    return 7;
}

struct Section {
    std::uint32_t virtualAddress;
    std::uint32_t rawSize;
    std::uint32_t rawOffset;
};

class PeImage {
public:
    explicit PeImage(IReadableFile& file) : m_file(file) {}

    // Reads the headers; false if this is no PE file.
    bool Open(bool& isProgram) {
        isProgram = false;
        std::array<std::uint8_t, 64> dos{};
        if (m_file.Size() < dos.size() || !m_file.ReadAt(0, dos.data(), dos.size())) return false;
        if (dos[0] != 'M' || dos[1] != 'Z') return false;
        std::uint64_t peOffset = Read32(&dos[0x3C]);
        std::array<std::uint8_t, 24> pe{};  // signature + COFF file header
        if (!m_file.ReadAt(peOffset, pe.data(), pe.size())) return false;
        if (pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0) return false;
        isProgram = true;

        std::uint16_t sectionCount = Read16(&pe[6]);
        std::uint16_t optionalSize = Read16(&pe[20]);
        std::vector<std::uint8_t> optional(optionalSize);
        if (optionalSize < 2 || !m_file.ReadAt(peOffset + 24, optional.data(), optional.size())) return false;
        size_t countAt = 0, directoriesAt = 0;
        switch (Read16(optional.data())) {
            case 0x10B:  // PE32
                countAt = 92;
                directoriesAt = 96;
                break;
            case 0x20B:  // PE32+
                countAt = 108;
                directoriesAt = 112;
                break;
            default:
                return false;
        }
        const size_t resourceEntry = directoriesAt + 2 * 8;
        if (resourceEntry + 8 > optional.size() || countAt + 4 > optional.size()) return false;
        if (Read32(&optional[countAt]) < 3) return false;
        m_resourceRva = Read32(&optional[resourceEntry]);
        if (m_resourceRva == 0 || Read32(&optional[resourceEntry + 4]) == 0) return false;

        if (sectionCount == 0 || sectionCount > kMaxSections) return false;
        std::vector<std::uint8_t> table(size_t{sectionCount} * 40);
        if (!m_file.ReadAt(peOffset + 24 + optionalSize, table.data(), table.size())) return false;
        for (size_t i = 0; i < sectionCount; ++i) {
            const std::uint8_t* s = &table[i * 40];
            m_sections.push_back({Read32(s + 12), Read32(s + 16), Read32(s + 20)});
        }
        return true;
    }

    // Reads size bytes at an address of the loaded image, from the raw data
    // of the one section holding all of them.
    bool ReadRva(std::uint64_t rva, void* buffer, size_t size) {
        for (const Section& s : m_sections) {
            if (rva < s.virtualAddress) continue;
            std::uint64_t into = rva - s.virtualAddress;
            if (into >= s.rawSize || size > s.rawSize - into) continue;
            return m_file.ReadAt(std::uint64_t{s.rawOffset} + into, buffer, size);
        }
        return false;
    }

    // Offsets inside the resource tree count from the tree's start.
    bool ReadResource(std::uint32_t offset, void* buffer, size_t size) {
        return ReadRva(std::uint64_t{m_resourceRva} + offset, buffer, size);
    }

    struct DirectoryEntry {
        std::uint32_t name;  // an id, or with the top bit set a string's offset
        std::uint32_t target;
    };

    // The entries of a resource directory, in the order the file keeps them.
    bool ReadEntries(std::uint32_t directory, std::vector<DirectoryEntry>& out) {
        std::array<std::uint8_t, 16> head{};
        if (!ReadResource(directory, head.data(), head.size())) return false;
        const std::uint32_t count = std::uint32_t{Read16(&head[12])} + Read16(&head[14]);
        std::vector<std::uint8_t> raw(size_t{count} * 8);
        if (!ReadResource(directory + 16, raw.data(), raw.size())) return false;
        out.clear();
        for (size_t i = 0; i < raw.size(); i += 8) out.push_back({Read32(&raw[i]), Read32(&raw[i + 4])});
        return true;
    }

    // The entry of a resource directory with the given id, or with anyName
    // the first entry of any name. false if there is none.
    bool FindEntry(std::uint32_t directory, std::uint32_t wanted, bool anyName, std::uint32_t& target) {
        std::vector<DirectoryEntry> entries;
        if (!ReadEntries(directory, entries)) return false;
        for (const DirectoryEntry& e : entries) {
            if (anyName || (!(e.name & kSubdirectoryBit) && e.name == wanted)) {
                target = e.target;
                return true;
            }
        }
        return false;
    }

    // The language entry the resource loader takes for a user language.
    bool FindLanguage(std::uint32_t directory, std::uint16_t userLangId, std::uint32_t& target) {
        std::vector<DirectoryEntry> entries;
        if (!ReadEntries(directory, entries) || entries.empty()) return false;
        const DirectoryEntry* best = &entries.front();
        for (const DirectoryEntry& e : entries)
            if (LanguageRank(e.name, userLangId) < LanguageRank(best->name, userLangId)) best = &e;
        target = best->target;
        return true;
    }

    std::uint32_t m_resourceRva = 0;

private:
    IReadableFile& m_file;
    std::vector<Section> m_sections;
};

// One node of the version tree: a header of three 16-bit words, a UTF-16
// key, a value and child nodes, each part aligned to four bytes.
struct Node {
    size_t end = 0;  // one past the last byte of the node
    size_t keyBegin = 0;
    size_t keyUnits = 0;
    size_t valueBegin = 0;
    size_t valueBytes = 0;
    size_t childrenBegin = 0;
    std::uint16_t valueLength = 0;
    bool text = false;
};

size_t AlignUp4(size_t offset) { return (offset + 3) & ~size_t{3}; }

// Reads the node at `at`; the node is cut at `limit` (its parent's end), so
// nothing past the parent is ever looked at.
bool ParseNode(const std::vector<std::uint8_t>& b, size_t at, size_t limit, Node& node, size_t& next) {
    if (at > limit || limit - at < 6) return false;
    std::uint16_t length = Read16(&b[at]);
    if (length < 6) return false;
    next = AlignUp4(at + length);
    node.end = std::min(limit, at + length);
    node.valueLength = Read16(&b[at + 2]);
    node.text = Read16(&b[at + 4]) == 1;
    node.keyBegin = at + 6;
    size_t p = node.keyBegin;
    while (true) {
        if (p + 2 > node.end) return false;
        if (Read16(&b[p]) == 0) break;
        p += 2;
    }
    node.keyUnits = (p - node.keyBegin) / 2;
    node.valueBegin = std::min(AlignUp4(p + 2), node.end);
    size_t bytes = node.text ? size_t{node.valueLength} * 2 : node.valueLength;
    node.valueBytes = std::min(bytes, node.end - node.valueBegin);
    node.childrenBegin = std::min(AlignUp4(node.valueBegin + node.valueBytes), node.end);
    return true;
}

// UTF-16 units of b[begin, begin + 2 * units) as UTF-8; lone surrogates
// become U+FFFD.
std::string Utf16ToUtf8(const std::vector<std::uint8_t>& b, size_t begin, size_t units) {
    std::string out;
    for (size_t i = 0; i < units; ++i) {
        char32_t u = Read16(&b[begin + 2 * i]);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            char32_t low = Read16(&b[begin + 2 * (i + 1)]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, u);  // a lone surrogate becomes U+FFFD
    }
    return out;
}

}  // namespace

bool IsWindowsProgram(IReadableFile& file) {
    PeImage image(file);
    bool isProgram = false;
    image.Open(isProgram);
    return isProgram;
}

VersionInfoResult GetFileVersionInfo(IReadableFile& file, std::vector<std::uint8_t>& buffer,
                                     std::uint16_t userLangId) {
    buffer.clear();
    PeImage image(file);
    bool isProgram = false;
    if (!image.Open(isProgram))
        return isProgram ? VersionInfoResult::NoResource : VersionInfoResult::NotProgram;

    // Three levels: type, name, language. Windows asks for the name 1 (or
    // takes the first name) and lets the loader choose the language.
    std::uint32_t names = 0, languages = 0, data = 0;
    if (!image.FindEntry(0, kResourceTypeVersion, false, names) || !(names & kSubdirectoryBit))
        return VersionInfoResult::NoResource;
    names &= ~kSubdirectoryBit;
    if (!image.FindEntry(names, kVersionResourceId, false, languages) &&
        !image.FindEntry(names, 0, true, languages))
        return VersionInfoResult::NoResource;
    if (!(languages & kSubdirectoryBit)) return VersionInfoResult::NoResource;
    languages &= ~kSubdirectoryBit;
    if (!image.FindLanguage(languages, userLangId, data) || (data & kSubdirectoryBit))
        return VersionInfoResult::NoResource;

    std::array<std::uint8_t, 16> entry{};
    if (!image.ReadResource(data, entry.data(), entry.size())) return VersionInfoResult::NoResource;
    std::uint32_t rva = Read32(&entry[0]);
    std::uint32_t size = std::min(Read32(&entry[4]), kMaxVersionResource);
    if (size < 6) return VersionInfoResult::NoResource;
    buffer.resize(size);
    if (!image.ReadRva(rva, buffer.data(), buffer.size())) {
        buffer.clear();
        return VersionInfoResult::NoResource;
    }
    return VersionInfoResult::Found;
}

bool VerQueryValue(const std::vector<std::uint8_t>& buffer, std::string_view subBlock, VersionValue& value) {
    Node node;
    size_t next = 0;
    if (!ParseNode(buffer, 0, buffer.size(), node, next)) return false;
    size_t pos = 0;
    while (pos < subBlock.size()) {
        if (subBlock[pos] == '\\') {
            ++pos;
            continue;
        }
        size_t cut = subBlock.find('\\', pos);
        if (cut == std::string_view::npos) cut = subBlock.size();
        const std::string wanted(subBlock.substr(pos, cut - pos));
        pos = cut;

        bool found = false;
        size_t at = node.childrenBegin;
        Node child;
        // Every child is at least 6 bytes long, so the walk ends.
        while (ParseNode(buffer, at, node.end, child, next)) {
            if (EqualsNoCase(Utf16ToUtf8(buffer, child.keyBegin, child.keyUnits), wanted)) {
                found = true;
                break;
            }
            at = next;
        }
        if (!found) return false;
        node = child;
    }
    value.offset = node.valueBegin;
    value.size = node.valueBytes;
    value.length = node.valueLength;
    value.text = node.text;
    return true;
}

std::string GetVersionString(const std::vector<std::uint8_t>& buffer, const std::string& prefix,
                             const char* key) {
    VersionValue value;
    if (!VerQueryValue(buffer, prefix + key, value)) return {};
    // The stated length is not trusted: the string ends at its zero, or at
    // the end of its node.
    size_t units = 0;
    while ((units + 1) * 2 <= value.size && Read16(&buffer[value.offset + units * 2]) != 0) ++units;
    return Utf16ToUtf8(buffer, value.offset, units);
}

std::string GetVersionPrefix(const std::vector<std::uint8_t>& buffer, std::uint16_t userLangId) {
    VersionValue value;
    if (VerQueryValue(buffer, "\\VarFileInfo\\Translation", value) && value.length == 4 && value.size >= 4) {
        std::uint32_t translation = Read32(&buffer[value.offset]);
        unsigned language = translation & 0xFFFF;
        unsigned codePage = translation >> 16;
        return FormatText("\\StringFileInfo\\%02X%02X%02X%02X\\", language >> 8, language & 0xFF,
                          codePage >> 8, codePage & 0xFF);
    }
    return FormatText("\\StringFileInfo\\%04X04B0\\", static_cast<unsigned>(userLangId));
}

VersionStrings ReadVersionStrings(const std::vector<std::uint8_t>& buffer, std::uint16_t userLangId) {
    VersionStrings strings;
    const std::string prefix = GetVersionPrefix(buffer, userLangId);
    for (const VersionKey& k : kVersionKeys) strings.*k.field = GetVersionString(buffer, prefix, k.name);
    return strings;
}
