#pragma once
#include <string>
#include <vector>

// Where the local facts come from. Everything lies under one root so that
// tests (and a server looking into a container) can point it elsewhere.
struct KbFactPaths {
    std::string dpkgAdminDir;
    std::vector<std::string> desktopFolders;  // searched in order
    std::vector<std::string> manFolders;      // sections 1, 8, 6: programs
};

// The usual places under root ("" for the machine itself); home adds the
// user's own desktop entries when not empty.
KbFactPaths DefaultFactPaths(const std::string& root, const std::string& home);
