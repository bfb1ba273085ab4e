#include "kb/LocalFacts.h"

#include "kb/SourceFiles.h"

CLocalFacts::CLocalFacts(ISourceFiles& files, KbFactPaths paths) : m_files(files), m_paths(std::move(paths)) {
    Refresh();
}

std::vector<std::int64_t> CLocalFacts::Stamp(const std::vector<std::string>& sources) {
    std::vector<std::int64_t> stamp;
    stamp.reserve(sources.size());
    for (const std::string& path : sources) stamp.push_back(m_files.ModifiedNs(path));
    return stamp;
}

namespace {
// A new index built from `where` when the stamp of its sources is not the
// last one's, or when there is none yet; null otherwise.
template <class Index, class Where>
std::shared_ptr<const Index> Rebuilt(ISourceFiles& files, const Where& where, std::vector<std::int64_t> stamp,
                                     std::vector<std::int64_t>& last, bool haveOne) {
    if (haveOne && stamp == last) return nullptr;
    auto index = std::make_shared<Index>();
    index->Build(files, where);
    last = std::move(stamp);
    return index;
}
}  // namespace

int CLocalFacts::Refresh() {
    // Stamps are taken before the build: a change during it leads to one
    // more build next time rather than to a missed one. Only this thread
    // writes m_view, so reading it here needs no lock.
    auto packages = Rebuilt<CPackageIndex>(m_files, m_paths.dpkgAdminDir,
                                           Stamp(CPackageIndex::Sources(m_paths.dpkgAdminDir)), m_packageStamp,
                                           m_view.packages != nullptr);
    auto desktop = Rebuilt<CDesktopIndex>(m_files, m_paths.desktopFolders, Stamp(m_paths.desktopFolders),
                                          m_desktopStamp, m_view.desktop != nullptr);
    auto manuals = Rebuilt<CManIndex>(m_files, m_paths.manFolders, Stamp(m_paths.manFolders), m_manStamp,
                                      m_view.manuals != nullptr);
    const int rebuilt = (packages != nullptr) + (desktop != nullptr) + (manuals != nullptr);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (packages) m_view.packages = std::move(packages);
    if (desktop) m_view.desktop = std::move(desktop);
    if (manuals) m_view.manuals = std::move(manuals);
    return rebuilt;
}

CLocalFacts::View CLocalFacts::Current() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_view;
}
