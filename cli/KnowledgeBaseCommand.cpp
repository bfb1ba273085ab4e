#include "cli/KnowledgeBaseCommand.h"

#include <cstdlib>

#include "cli/DetailsCommand.h"
#include "monitor/Process.h"
#include "monitor/Processes.h"
#include "online/KnowledgeBase.h"
#include "res/StringTable.h"
#include "res/Text.h"

bool PrintKnowledgeBasePage(CProcess& process, CKnowledgeBase& knowledgeBase, std::FILE* out) {
    if (process.m_strPath.empty()) {
        std::fputs("Request: none (the program file is unknown)\n", out);
        return false;
    }
    std::fprintf(out, "Request: %s\n\n", knowledgeBase.ComposeUrl(process).c_str());
    QueryKnowledgeBase(process, knowledgeBase);
    const std::string& page = process.m_strHtml;
    std::fwrite(page.data(), 1, page.size(), out);
    if (!page.empty() && page.back() != '\n') std::fputc('\n', out);
    return process.m_bHtmlComposed;
}

std::string ChooseKnowledgeBaseUrl(const char* fromEnvironment) {
    if (fromEnvironment && *fromEnvironment) return fromEnvironment;
    return LoadText(IDS_KB_BASE_URL);
}

int RunDetailsWithPage(std::uint32_t pid, CProcesses& processes, DetailsContext& context, IHttpClient& http,
                       IFileSystem& files, std::FILE* out, std::FILE* err) {
    int status = RunDetails(pid, processes, context, out, err);
    CProcess* record = status == 0 ? processes.FindByPid(pid) : nullptr;
    if (!record) return status;
    CKnowledgeBase knowledgeBase(http, files, ChooseKnowledgeBaseUrl(std::getenv("LOADWATCH_KB_URL")));
    std::fputs("\n", out);
    PrintKnowledgeBasePage(*record, knowledgeBase, out);
    return 0;
}
