#pragma once
// Builds small Windows program files in memory: a version tree and a PE32 or
// PE32+ image with one resource section that carries it.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pe {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& b, size_t at, std::uint16_t v) {
    if (b.size() < at + 2) b.resize(at + 2);
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void Put32(Bytes& b, size_t at, std::uint32_t v) {
    Put16(b, at, static_cast<std::uint16_t>(v));
    Put16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

inline void Pad4(Bytes& b) {
    while (b.size() % 4) b.push_back(0);
}

// ASCII or UTF-8 restricted to the Basic Multilingual Plane, to UTF-16LE.
inline Bytes Utf16(const std::string& s, bool zero = true) {
    Bytes out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::uint16_t u = c;
        if (c >= 0xE0 && i + 2 < s.size()) {
            u = static_cast<std::uint16_t>(((c & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F));
            i += 3;
        } else if (c >= 0xC0 && i + 1 < s.size()) {
            u = static_cast<std::uint16_t>(((c & 0x1F) << 6) | (s[i + 1] & 0x3F));
            i += 2;
        } else {
            ++i;
        }
        out.push_back(static_cast<std::uint8_t>(u));
        out.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    if (zero) out.insert(out.end(), {0, 0});
    return out;
}

struct Node {
    std::string key;
    Bytes value;
    std::uint16_t valueLength = 0;
    bool text = false;
    std::vector<Node> children;
};

inline Bytes Serialize(const Node& n) {
    Bytes b(6, 0);
    Bytes key = Utf16(n.key);
    b.insert(b.end(), key.begin(), key.end());
    Pad4(b);
    b.insert(b.end(), n.value.begin(), n.value.end());
    for (const Node& c : n.children) {
        Pad4(b);
        Bytes child = Serialize(c);
        b.insert(b.end(), child.begin(), child.end());
    }
    Put16(b, 0, static_cast<std::uint16_t>(b.size()));
    Put16(b, 2, n.valueLength);
    Put16(b, 4, n.text ? 1 : 0);
    return b;
}

// A String node; an empty value is stored with no characters at all.
inline Node Text(const std::string& key, const std::string& value) {
    Node n{key, {}, 0, true, {}};
    if (!value.empty()) {
        n.value = Utf16(value);
        n.valueLength = static_cast<std::uint16_t>(n.value.size() / 2);
    }
    return n;
}

using Strings = std::vector<std::pair<std::string, std::string>>;

struct Table {
    std::string name;  // e.g. "040904E4"
    Strings strings;
};

// A complete VS_VERSIONINFO tree. translations: each entry language in the
// low 16 bits, code page in the high 16 bits; none leaves VarFileInfo out.
inline Bytes VersionBlock(const std::vector<Table>& tables, const std::vector<std::uint32_t>& translations) {
    Node root{"VS_VERSION_INFO", Bytes(52, 0), 52, false, {}};
    Put32(root.value, 0, 0xFEEF04BD);
    Put32(root.value, 4, 0x00010000);
    Node sfi{"StringFileInfo", {}, 0, true, {}};
    for (const Table& t : tables) {
        Node table{t.name, {}, 0, true, {}};
        for (const auto& [k, v] : t.strings) table.children.push_back(Text(k, v));
        sfi.children.push_back(table);
    }
    root.children.push_back(sfi);
    if (!translations.empty()) {
        Node var{"Translation", {}, static_cast<std::uint16_t>(translations.size() * 4), false, {}};
        for (size_t i = 0; i < translations.size(); ++i) Put32(var.value, i * 4, translations[i]);
        root.children.push_back(Node{"VarFileInfo", {}, 0, true, {var}});
    }
    return Serialize(root);
}

inline Strings SevenStrings(const std::string& tag) {
    return {{"ProductName", tag + " Product"},         {"FileVersion", "1.2.3.4"},
            {"FileDescription", tag + " Description"}, {"CompanyName", tag + " Company"},
            {"LegalCopyright", "(c) " + tag},          {"Comments", tag + " Comments"},
            {"InternalName", tag + "Internal"}};
}

struct PeOptions {
    bool pe32plus = false;
    bool withResources = true;
};

// Offsets of the image built by Image(), for tests that damage it.
constexpr size_t kPeHeader = 0x40;
constexpr size_t kRsrcFileOffset = 0x200;
constexpr std::uint32_t kRsrcRva = 0x1000;
constexpr size_t kVersionDataEntry = kRsrcFileOffset + 72;
constexpr size_t kVersionBlockOffset = kRsrcFileOffset + 88;

// A version resource per language (LANGID), in the order the file keeps them.
using Languages = std::vector<std::pair<std::uint16_t, Bytes>>;

inline Bytes ImageInLanguages(const Languages& languages, PeOptions o = {}) {
    Bytes f(kRsrcFileOffset, 0);
    f[0] = 'M';
    f[1] = 'Z';
    Put32(f, 0x3C, kPeHeader);
    const size_t coff = kPeHeader + 4;
    f[kPeHeader] = 'P';
    f[kPeHeader + 1] = 'E';
    const std::uint16_t optionalSize = o.pe32plus ? 240 : 224;
    Put16(f, coff, o.pe32plus ? 0x8664 : 0x014C);
    Put16(f, coff + 2, 1);  // sections
    Put16(f, coff + 16, optionalSize);
    Put16(f, coff + 18, 0x0102);
    const size_t opt = coff + 20;
    Put16(f, opt, o.pe32plus ? 0x20B : 0x10B);
    const size_t countAt = opt + (o.pe32plus ? 108 : 92);
    const size_t dirs = opt + (o.pe32plus ? 112 : 96);
    Put32(f, countAt, 16);

    Bytes rsrc;
    if (o.withResources) {
        const size_t n = languages.size();
        const size_t dataEntries = 48 + 16 + 8 * n;
        rsrc.assign(dataEntries + 16 * n, 0);
        Put16(rsrc, 14, 1);  // type level: one id entry
        Put32(rsrc, 16, 16);
        Put32(rsrc, 20, 0x80000000u | 24);
        Put16(rsrc, 24 + 14, 1);  // name level
        Put32(rsrc, 24 + 16, 1);
        Put32(rsrc, 24 + 20, 0x80000000u | 48);
        Put16(rsrc, 48 + 14, static_cast<std::uint16_t>(n));  // language level
        for (size_t i = 0; i < n; ++i) {
            const auto& [language, block] = languages[i];
            const size_t entry = dataEntries + 16 * i;
            Put32(rsrc, 48 + 16 + 8 * i, language);
            Put32(rsrc, 48 + 20 + 8 * i, static_cast<std::uint32_t>(entry));
            Pad4(rsrc);
            Put32(rsrc, entry, kRsrcRva + static_cast<std::uint32_t>(rsrc.size()));
            Put32(rsrc, entry + 4, static_cast<std::uint32_t>(block.size()));
            rsrc.insert(rsrc.end(), block.begin(), block.end());
        }
        Put32(f, dirs + 16, kRsrcRva);
        Put32(f, dirs + 20, static_cast<std::uint32_t>(rsrc.size()));
    } else {
        rsrc.assign(16, 0);
    }
    const std::uint32_t rawSize = static_cast<std::uint32_t>((rsrc.size() + 0x1FF) & ~size_t{0x1FF});
    const size_t section = opt + optionalSize;
    const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    for (int i = 0; i < 8; ++i) f[section + i] = static_cast<std::uint8_t>(name[i]);
    Put32(f, section + 8, static_cast<std::uint32_t>(rsrc.size()));
    Put32(f, section + 12, kRsrcRva);
    Put32(f, section + 16, rawSize);
    Put32(f, section + 20, kRsrcFileOffset);
    rsrc.resize(rawSize, 0);
    f.insert(f.end(), rsrc.begin(), rsrc.end());
    return f;
}

// One version resource, under English (US).
inline Bytes Image(const Bytes& versionBlock, PeOptions o = {}) {
    return ImageInLanguages({{0x0409, versionBlock}}, o);
}

}  // namespace pe
