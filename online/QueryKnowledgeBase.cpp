#include "monitor/Process.h"
#include "online/KnowledgeBase.h"

void QueryKnowledgeBase(CProcess& record, CKnowledgeBase& knowledgeBase) {
    if (record.m_bHtmlComposed) return;
    record.m_bHtmlComposed = true;
    if (record.m_strPath.empty()) return;
    KnowledgeBasePage page = knowledgeBase.FetchPage(QueryOf(record));
    record.m_strHtml = std::move(page.html);
    // The no-data text is shown; the next selection asks again.
    record.m_bHtmlComposed = page.answered;
}
