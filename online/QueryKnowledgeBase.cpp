#include "monitor/Process.h"
#include "online/KnowledgeBase.h"
#include "res/StringTable.h"

std::string FileNoteOf(const CProcess& record) {
    if (record.m_bNoFile) return LoadText(IDS_NO_FILE);
    if (record.m_bFileReplaced) return LoadText(IDS_FILE_REPLACED);
    return {};
}

void QueryKnowledgeBase(CProcess& record, CKnowledgeBase& knowledgeBase) {
    if (record.m_bHtmlComposed) return;
    record.m_bHtmlComposed = true;
    record.m_strHtml = FileNoteOf(record);
    if (record.m_strPath.empty()) return;
    KnowledgeBasePage page = knowledgeBase.FetchPage(QueryOf(record));
    record.m_strHtml = std::move(page.html);
    // The no-data text is shown; the next selection asks again.
    record.m_bHtmlComposed = page.answered;
    record.m_strHtml = FileNoteOf(record) + record.m_strHtml;
}
