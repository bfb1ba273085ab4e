#include "monitor/Process.h"
#include "online/KnowledgeBase.h"
#include "res/StringTable.h"
#include "res/Text.h"

void QueryKnowledgeBase(CProcess& record, CKnowledgeBase& knowledgeBase) {
    if (record.m_bHtmlComposed) return;
    record.m_bHtmlComposed = true;
    // The kernel's word on the program's file goes before the page: the
    // knowledge base only sees the file that lies at the path now.
    if (record.m_bNoFile) record.m_strHtml = LoadText(IDS_NO_FILE);
    if (record.m_strPath.empty()) return;
    record.m_strHtml = knowledgeBase.DownloadText(knowledgeBase.ComposeUrl(record));
    if (record.m_strHtml.empty()) {
        // Shown in the panel; the next selection asks again.
        record.m_strHtml = LoadText(IDS_NO_DATA);
        record.m_bHtmlComposed = false;
    }
    if (record.m_bFileReplaced) record.m_strHtml = LoadText(IDS_FILE_REPLACED) + record.m_strHtml;
}
