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

int CLocalFacts::Refresh() {
    int rebuilt = 0;
    // Stamps are taken before the build: a change during it leads to one
    // more build next time rather than to a missed one.
    std::vector<std::int64_t> stamp = Stamp(CPackageIndex::Sources(m_paths.dpkgAdminDir));
    std::shared_ptr<const CPackageIndex> packages;
    if (stamp != m_packageStamp || !m_view.packages) {
        auto index = std::make_shared<CPackageIndex>();
        index->Build(m_files, m_paths.dpkgAdminDir);
        packages = std::move(index);
        m_packageStamp = std::move(stamp);
        ++rebuilt;
    }
    stamp = Stamp(m_paths.desktopFolders);
    std::shared_ptr<const CDesktopIndex> desktop;
    if (stamp != m_desktopStamp || !m_view.desktop) {
        auto index = std::make_shared<CDesktopIndex>();
        index->Build(m_files, m_paths.desktopFolders);
        desktop = std::move(index);
        m_desktopStamp = std::move(stamp);
        ++rebuilt;
    }
    stamp = Stamp(m_paths.manFolders);
    std::shared_ptr<const CManIndex> manuals;
    if (stamp != m_manStamp || !m_view.manuals) {
        auto index = std::make_shared<CManIndex>();
        index->Build(m_files, m_paths.manFolders);
        manuals = std::move(index);
        m_manStamp = std::move(stamp);
        ++rebuilt;
    }
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
