#pragma once
#include <string>

class IFileSystem;

// How the knowledge base is reached. The built-in address means the user's
// own server, which listens on a Unix socket in the user's runtime folder:
// a TCP port on this machine could be taken first by any other user, who
// would then read every question and answer with pages of their own.
struct KnowledgeBaseAddress {
    std::string baseUrl;      // what the query is appended to
    bool userSocket = false;  // through the user's own socket, never the network
    std::string socketPath;   // that socket; empty when there is none
    std::string problem;      // why there is none: no question is asked then
};

// The knowledge base's base URL: urlFromEnvironment (LOADWATCH_KB_URL, pass
// getenv's result) when it is set and not empty, else the built-in one.
// Every front end chooses through here, so all ask the same server.
std::string ChooseKnowledgeBaseUrl(const char* urlFromEnvironment);

// urlFromEnvironment: LOADWATCH_KB_URL (null or empty for the built-in
// address); runtimeDir: XDG_RUNTIME_DIR (null when unset).
KnowledgeBaseAddress ChooseKnowledgeBaseAddress(const char* urlFromEnvironment, const char* runtimeDir,
                                                IFileSystem& files);
