#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "kb/DesktopIndex.h"
#include "kb/FactPaths.h"
#include "kb/ManIndex.h"
#include "kb/PackageIndex.h"

class ISourceFiles;

// The three indexes of facts about this machine, each rebuilt when the
// modification time of one of its sources changes. Readers hold a view
// that stays valid while a newer one is built beside it.
class CLocalFacts {
public:
    struct View {
        std::shared_ptr<const CPackageIndex> packages;
        std::shared_ptr<const CDesktopIndex> desktop;
        std::shared_ptr<const CManIndex> manuals;
    };

    // Builds every index before it returns.
    CLocalFacts(ISourceFiles& files, KbFactPaths paths);
    CLocalFacts(const CLocalFacts&) = delete;
    CLocalFacts& operator=(const CLocalFacts&) = delete;

    // Rebuilds the indexes whose sources changed since the last build; one
    // caller at a time (the refresher). Returns how many were rebuilt.
    int Refresh();
    View Current() const;

private:
    std::vector<std::int64_t> Stamp(const std::vector<std::string>& sources);

    ISourceFiles& m_files;
    const KbFactPaths m_paths;
    std::vector<std::int64_t> m_packageStamp, m_desktopStamp, m_manStamp;
    mutable std::mutex m_mutex;  // guards m_view only
    View m_view;
};
