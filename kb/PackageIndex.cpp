#include "kb/PackageIndex.h"

#include "kb/SourceFiles.h"

namespace {

constexpr std::size_t kMaxStatusBytes = 256u << 20;
constexpr std::size_t kMaxListBytes = 64u << 20;

struct Stanza {
    std::string package, architecture, status, version, homepage, description;
};

bool IsInstalled(const std::string& status) {
    // "want flag state": only the state matters here.
    std::size_t blank = status.rfind(' ');
    std::string_view state =
        blank == std::string::npos ? std::string_view(status) : std::string_view(status).substr(blank + 1);
    return state == "installed";
}

// deb-control(5) paragraphs: "Field: value", continuation lines start with
// a blank or tab, paragraphs are separated by empty lines.
template <typename Visit>
void ForEachStanza(std::string_view text, Visit visit) {
    Stanza stanza;
    std::string* current = nullptr;
    auto flush = [&] {
        if (!stanza.package.empty()) visit(stanza);
        stanza = Stanza{};
        current = nullptr;
    };
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) {
            flush();
            continue;
        }
        if (line[0] == ' ' || line[0] == '\t') {
            if (current) {
                *current += '\n';
                current->append(line.substr(1));
            }
            continue;
        }
        std::size_t colon = line.find(':');
        current = nullptr;
        if (colon == std::string_view::npos) continue;
        std::string_view field = line.substr(0, colon);
        std::string_view value = line.substr(colon + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
        if (field == "Package")
            current = &stanza.package;
        else if (field == "Architecture")
            current = &stanza.architecture;
        else if (field == "Status")
            current = &stanza.status;
        else if (field == "Version")
            current = &stanza.version;
        else if (field == "Homepage")
            current = &stanza.homepage;
        else if (field == "Description")
            current = &stanza.description;
        if (current) current->assign(value);
    }
    flush();
}

KbPackage MakePackage(const Stanza& s) {
    KbPackage p;
    p.name = s.package;
    p.version = s.version;
    p.homepage = s.homepage;
    std::size_t nl = s.description.find('\n');
    p.synopsis = s.description.substr(0, nl);
    while (nl != std::string::npos) {
        std::size_t next = s.description.find('\n', nl + 1);
        p.description.push_back(
            s.description.substr(nl + 1, next == std::string::npos ? next : next - nl - 1));
        nl = next;
    }
    return p;
}

// The other spelling of a path under the /usr merge, or empty.
std::string MergedUsrTwin(std::string_view path) {
    static constexpr std::string_view kMerged[] = {"/bin/",   "/sbin/",  "/lib/",
                                                   "/lib32/", "/lib64/", "/libx32/"};
    for (std::string_view dir : kMerged) {
        if (path.substr(0, dir.size()) == dir) return "/usr" + std::string(path);
        if (path.substr(0, 4) == "/usr" && path.substr(4, dir.size()) == dir)
            return std::string(path.substr(4));
    }
    return {};
}

}  // namespace

std::vector<std::string> CPackageIndex::Sources(const std::string& adminDir) {
    return {adminDir + "/status", adminDir + "/info"};
}

void CPackageIndex::Build(ISourceFiles& files, const std::string& adminDir) {
    m_packages.clear();
    m_listTexts.clear();
    m_owner.clear();

    std::string status;
    if (!files.Read(adminDir + "/status", kMaxStatusBytes, status)) return;
    std::unordered_map<std::string, std::uint32_t> byStem;
    ForEachStanza(status, [&](const Stanza& s) {
        if (!IsInstalled(s.status)) return;
        auto index = static_cast<std::uint32_t>(m_packages.size());
        m_packages.push_back(MakePackage(s));
        // info/NAME.list, or info/NAME:ARCH.list for packages installable
        // for several architectures at once.
        byStem.emplace(s.package, index);
        if (!s.architecture.empty()) byStem.emplace(s.package + ":" + s.architecture, index);
    });

    const std::string infoDir = adminDir + "/info";
    for (const std::string& name : files.List(infoDir)) {
        constexpr std::string_view kSuffix = ".list";
        if (name.size() <= kSuffix.size() ||
            name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
            continue;
        auto owner = byStem.find(name.substr(0, name.size() - kSuffix.size()));
        if (owner == byStem.end()) continue;
        std::string text;
        if (!files.Read(infoDir + "/" + name, kMaxListBytes, text)) continue;
        const std::string& kept = m_listTexts.emplace_back(std::move(text));
        std::string_view all(kept);
        std::size_t pos = 0;
        while (pos < all.size()) {
            std::size_t end = all.find('\n', pos);
            if (end == std::string_view::npos) end = all.size();
            std::string_view path = all.substr(pos, end - pos);
            pos = end + 1;
            if (path.empty() || path == "/.") continue;
            m_owner.emplace(path, owner->second);
        }
    }
}

const KbPackage* CPackageIndex::FindExact(std::string_view path) const {
    auto it = m_owner.find(path);
    return it == m_owner.end() ? nullptr : &m_packages[it->second];
}

const KbPackage* CPackageIndex::FindOwner(const std::string& path) const {
    if (const KbPackage* p = FindExact(path)) return p;
    std::string twin = MergedUsrTwin(path);
    return twin.empty() ? nullptr : FindExact(twin);
}
