#include <algorithm>
#include <unordered_set>

#include "monitor/ActivityText.h"
#include "monitor/Amounts.h"
#include "monitor/Processes.h"
#include "monitor/ReportList.h"
#include "platform/Clock.h"

namespace {
// Clears the filling flag on every way out.
struct FillingGuard {
    bool& flag;
    explicit FillingGuard(bool& f) : flag(f) { flag = true; }
    ~FillingGuard() { flag = false; }
};

constexpr std::uint32_t kBoth = kStateSelected | kStateFocused;
}  // namespace

bool CProcesses::RowEditsExceed(const std::unordered_set<const CProcess*>& shown,
                                const std::vector<ListedRow>& wanted, std::size_t limit) const {
    // The same steps as the update below, on the records alone.
    std::vector<const CProcess*> rows;
    rows.reserve(m_listed.size());
    for (const ListedRow& l : m_listed)
        if (shown.count(l.record)) rows.push_back(l.record);
    std::size_t edits = m_listed.size() - rows.size();
    for (std::size_t i = 0; i < wanted.size() && edits <= limit; ++i) {
        if (i < rows.size() && rows[i] == wanted[i].record) continue;
        auto later = std::find(rows.begin() + static_cast<std::ptrdiff_t>(std::min(i, rows.size())),
                               rows.end(), wanted[i].record);
        if (later != rows.end()) {
            rows.erase(later);
            ++edits;
        }
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(std::min(i, rows.size())), wanted[i].record);
        ++edits;
    }
    return edits > limit;
}

void CProcesses::FillList(IReportList& list) {
    FillingGuard guard(m_bFillingList);
    const std::int64_t now = m_platform.clock.Now();

    std::vector<ListedRow> wanted;
    for (auto& owned : m_records) {
        const CProcess& r = *owned;
        if (r.m_tDiskUntil < now && r.m_tNetworkUntil < now && r.m_tProcessorUntil < now &&
            r.m_tKeepUntil < now)
            continue;
        const bool amountsCurrent = m_tPreviousSnapshot && r.m_tAmountsAt == *m_tPreviousSnapshot;
        wanted.push_back({&r, r.m_dwPid, RowColor(r, now), r.ProgramText(), ComposeActivityText(r, now),
                          ComposeRowTip(r, amountsCurrent)});
    }

    std::unordered_set<const CProcess*> shown;
    shown.reserve(wanted.size());
    for (const ListedRow& w : wanted) shown.insert(w.record);

    // Rows written by someone else cannot be matched, and past a few moves
    // a row-by-row update costs more than a rebuild (each move shifts the
    // rows below it twice): start afresh then.
    if (m_pListedIn != &list || list.GetItemCount() != static_cast<int>(m_listed.size()) ||
        RowEditsExceed(shown, wanted, wanted.size() / 4 + 8)) {
        list.DeleteAllItems();
        m_listed.clear();
        m_pListedIn = &list;
    }
    for (int row = static_cast<int>(m_listed.size()) - 1; row >= 0; --row) {
        if (shown.count(m_listed[static_cast<size_t>(row)].record)) continue;
        list.DeleteItem(row);
        m_listed.erase(m_listed.begin() + row);
    }

    for (size_t i = 0; i < wanted.size(); ++i) {
        ListedRow& w = wanted[i];
        const int row = static_cast<int>(i);
        if (i < m_listed.size() && m_listed[i].record == w.record) {
            ListedRow& have = m_listed[i];
            if (have.program != w.program) list.SetItemText(row, 0, w.program);
            if (have.activity != w.activity) list.SetItemText(row, 1, w.activity);
            if (have.tip != w.tip) list.SetItemTip(row, w.tip);
            if (have.data != w.data) list.SetItemData(row, w.data);
            if (have.color != w.color) list.SetCellTextColor(row, -1, w.color, false);
            have = std::move(w);
            continue;
        }
        // A record listed further down moved up: its row moves with it.
        auto later =
            std::find_if(m_listed.begin() + static_cast<std::ptrdiff_t>(std::min(i, m_listed.size())),
                         m_listed.end(), [&](const ListedRow& l) { return l.record == w.record; });
        if (later != m_listed.end()) {
            list.DeleteItem(static_cast<int>(later - m_listed.begin()));
            m_listed.erase(later);
        }
        const int at = list.InsertItem(row, {w.program, w.activity});
        if (at != row) {
            // Refused: the rows no longer match what is kept; the next call rebuilds.
            m_pListedIn = nullptr;
            break;
        }
        list.SetItemData(at, w.data);
        list.SetItemTip(at, w.tip);
        if (w.color != kDefaultColor) list.SetCellTextColor(at, -1, w.color, false);
        m_listed.insert(m_listed.begin() + row, std::move(w));
    }

    // The selection follows its process; an ended one is selected no more.
    int rowToSelect = -1;
    if (CProcess* selected = Selected()) {
        for (size_t i = 0; i < m_listed.size(); ++i) {
            if (m_listed[i].record != selected) continue;
            selected->m_tKeepUntil = m_platform.clock.Now() + kKeepWhileSelected;
            rowToSelect = static_cast<int>(i);
            break;
        }
    }
    if (rowToSelect < 0) m_dwSelectedPid = 0;
    const int mark = list.GetSelectionMark();
    if (rowToSelect >= 0) {
        if (list.GetItemState(rowToSelect, kBoth) != kBoth) list.SetItemState(rowToSelect, kBoth, kBoth);
    } else {
        // The selected row may have moved since the mark was set: no row may
        // look selected, wherever it stands now.
        for (int row = 0; row < list.GetItemCount(); ++row)
            if (list.GetItemState(row, kBoth) != 0) list.SetItemState(row, 0, kBoth);
    }
    if (mark != rowToSelect) list.SetSelectionMark(rowToSelect);
}
