#include "actions/PromotionPanel.h"

#include "platform/Desktop.h"

int PromotionPageOfSource(int id) {
    if (id >= 20001 && id <= 20003) return id - 20000;
    if (id >= 1021 && id <= 1023) return id - 1020;
    if (id >= 1024 && id <= 1026) return id - 1023;
    return 0;
}

bool PromotionSecondClickOpens(int id) { return id >= 20001 && id <= 20003; }

void CPromotionPanel::OpenPromotionPage(int page) {
    if (page < 1 || page > 3) return;
    m_desktop.OpenUrl(kPromotionEntries[page - 1].url);
}

bool CPromotionPanel::OnSourceClicked(int id) {
    int page = PromotionPageOfSource(id);
    OpenPromotionPage(page);
    return page != 0;
}

void CPromotionPanel::OpenHomePage() { m_desktop.OpenUrl(kHomeLink.url); }
