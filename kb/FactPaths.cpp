#include "kb/FactPaths.h"

KbFactPaths DefaultFactPaths(const std::string& root, const std::string& home) {
    KbFactPaths paths;
    paths.dpkgAdminDir = root + "/var/lib/dpkg";
    if (!home.empty()) paths.desktopFolders.push_back(root + home + "/.local/share/applications");
    paths.desktopFolders.push_back(root + "/usr/local/share/applications");
    paths.desktopFolders.push_back(root + "/usr/share/applications");
    for (const char* section : {"1", "8", "6"}) {
        paths.manFolders.push_back(root + "/usr/local/share/man/man" + section);
        paths.manFolders.push_back(root + "/usr/share/man/man" + section);
    }
    return paths;
}
