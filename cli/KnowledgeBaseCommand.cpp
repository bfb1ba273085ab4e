#include "cli/KnowledgeBaseCommand.h"

#include "cli/DetailsCommand.h"
#include "monitor/Process.h"
#include "monitor/Processes.h"
#include "online/KnowledgeBase.h"
#include "res/PrintableText.h"

void PrintPageText(const std::string& page, std::FILE* out) {
    // Line by line, so that only the page's own line ends stay as they are.
    for (std::size_t start = 0; start < page.size();) {
        std::size_t end = page.find('\n', start);
        if (end == std::string::npos) end = page.size();
        std::size_t stop = end > start && page[end - 1] == '\r' ? end - 1 : end;
        std::fprintf(out, "%s\n", Printable(page.substr(start, stop - start)).c_str());
        start = end + 1;
    }
}

bool PrintKnowledgeBasePage(CProcess& process, CKnowledgeBase& knowledgeBase, std::FILE* out) {
    if (process.m_strPath.empty()) {
        std::fputs("Request: none (the program file is unknown)\n", out);
        return false;
    }
    std::fprintf(out, "Request: %s\n\n", Printable(knowledgeBase.ComposeUrl(process)).c_str());
    QueryKnowledgeBase(process, knowledgeBase);
    PrintPageText(process.m_strHtml, out);
    return process.m_bHtmlComposed;
}

int RunDetailsWithPage(std::uint32_t pid, CProcesses& processes, DetailsContext& context, IHttpClient& http,
                       IFileSystem& files, const std::string& baseUrl, std::FILE* out, std::FILE* err) {
    int status = RunDetails(pid, processes, context, out, err);
    CProcess* record = status == 0 ? processes.FindByPid(pid) : nullptr;
    if (!record) return status;
    CKnowledgeBase knowledgeBase(http, files, baseUrl);
    std::fputs("\n", out);
    PrintKnowledgeBasePage(*record, knowledgeBase, out);
    return 0;
}
