#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class ISourceFiles;

// One installed package as its status entry describes it.
struct KbPackage {
    std::string name;
    std::string version;
    std::string synopsis;
    // The extended description's lines without their leading blank; "."
    // stands for an empty line and a line that still starts with a blank is
    // meant verbatim (deb-control(5)).
    std::vector<std::string> description;
    std::string homepage;
};

// Which installed package owns a path, from dpkg's status file and its
// info/*.list files, read once per Build. Since the /usr merge a package
// may record /bin/x while the process shows /usr/bin/x: both are tried.
class CPackageIndex {
public:
    // adminDir is dpkg's database folder, normally /var/lib/dpkg.
    void Build(ISourceFiles& files, const std::string& adminDir);
    // What Build reads, whose modification times tell when to build again.
    static std::vector<std::string> Sources(const std::string& adminDir);

    const KbPackage* FindOwner(const std::string& path) const;
    std::size_t PackageCount() const { return m_packages.size(); }
    std::size_t PathCount() const { return m_owner.size(); }

private:
    const KbPackage* FindExact(std::string_view path) const;

    std::vector<KbPackage> m_packages;
    // The list texts stay put: the index's keys point into them.
    std::deque<std::string> m_listTexts;
    std::unordered_map<std::string_view, std::uint32_t> m_owner;
};
