#include "details/Text.h"
#include "monitor/Process.h"
#include "online/KnowledgeBase.h"
#include "res/StringTable.h"

void CProcess::QueryKnowledgeBase(CKnowledgeBase& knowledgeBase) {
    if (m_bHtmlComposed) return;
    m_bHtmlComposed = true;
    if (m_strPath.empty()) return;
    m_strHtml = knowledgeBase.DownloadText(knowledgeBase.ComposeUrl(*this));
    if (m_strHtml.empty()) {
        // Shown in the panel; the next selection asks again.
        m_strHtml = LoadText(IDS_NO_DATA);
        m_bHtmlComposed = false;
    }
}
