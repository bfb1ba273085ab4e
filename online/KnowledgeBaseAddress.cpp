#include "online/KnowledgeBaseAddress.h"

#include "platform/FileSystem.h"
#include "res/StringTable.h"

std::string ChooseKnowledgeBaseUrl(const char* urlFromEnvironment) {
    if (urlFromEnvironment && *urlFromEnvironment) return urlFromEnvironment;
    return LoadText(IDS_KB_BASE_URL);
}

KnowledgeBaseAddress ChooseKnowledgeBaseAddress(const char* urlFromEnvironment, const char* runtimeDir,
                                                IFileSystem& files) {
    KnowledgeBaseAddress address;
    const std::string builtIn = LoadText(IDS_KB_BASE_URL);
    address.baseUrl = ChooseKnowledgeBaseUrl(urlFromEnvironment);
    if (address.baseUrl != builtIn) return address;
    address.userSocket = true;
    const std::string folder = runtimeDir ? runtimeDir : "";
    if (folder.empty() || folder[0] != '/')
        address.problem =
            "XDG_RUNTIME_DIR is not set, so there is no folder of this user where the knowledge base "
            "could listen; set LOADWATCH_KB_URL to use another server";
    else if (!files.EntryExists(folder))
        address.problem = "the runtime folder " + folder +
                          " does not exist, so the knowledge base cannot listen "
                          "there; set LOADWATCH_KB_URL to use another server";
    else
        address.socketPath = folder + "/loadwatch/kb.sock";
    return address;
}
