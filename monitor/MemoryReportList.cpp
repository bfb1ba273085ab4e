#include "monitor/MemoryReportList.h"

CMemoryReportList::CMemoryReportList(int columns) : m_columns(columns) {}

int CMemoryReportList::GetItemCount() const { return static_cast<int>(m_rows.size()); }
int CMemoryReportList::GetColumnCount() const { return m_columns; }

int CMemoryReportList::DeleteAllItems() {
    int n = GetItemCount();
    m_rows.clear();
    m_selectionMark = -1;
    return n;
}

int CMemoryReportList::InsertItem(int row, const std::vector<std::string>& texts) {
    if (row < 0) return -1;
    Row r;
    r.texts.assign(static_cast<size_t>(m_columns), std::string());
    for (int c = 0; c < m_columns && c < static_cast<int>(texts.size()); ++c)
        r.texts[static_cast<size_t>(c)] = texts[static_cast<size_t>(c)];
    r.colors.assign(static_cast<size_t>(m_columns), kWindowText);
    if (row > GetItemCount()) row = GetItemCount();
    m_rows.insert(m_rows.begin() + row, std::move(r));
    return row;
}

bool CMemoryReportList::DeleteItem(int row) {
    if (!ValidRow(row)) return false;
    m_rows.erase(m_rows.begin() + row);
    if (m_selectionMark == row) m_selectionMark = -1;
    return true;
}

void CMemoryReportList::SetItemText(int row, int column, const std::string& text) {
    if (ValidRow(row) && ValidColumn(column))
        m_rows[static_cast<size_t>(row)].texts[static_cast<size_t>(column)] = text;
}

std::string CMemoryReportList::GetItemText(int row, int column) const {
    if (!ValidRow(row) || !ValidColumn(column)) return {};
    return m_rows[static_cast<size_t>(row)].texts[static_cast<size_t>(column)];
}

void CMemoryReportList::SetItemData(int row, std::uint32_t value) {
    if (ValidRow(row)) m_rows[static_cast<size_t>(row)].data = value;
}

std::uint32_t CMemoryReportList::GetItemData(int row) const {
    return ValidRow(row) ? m_rows[static_cast<size_t>(row)].data : 0;
}

void CMemoryReportList::SetCellTextColor(int row, int column, ColorRef color, bool) {
    if (color == kDefaultColor) color = kWindowText;
    for (int r = 0; r < GetItemCount(); ++r) {
        if (ValidRow(row) && r != row) continue;
        for (int c = 0; c < m_columns; ++c) {
            if (ValidColumn(column) && c != column) continue;
            m_rows[static_cast<size_t>(r)].colors[static_cast<size_t>(c)] = color;
        }
    }
}

ColorRef CMemoryReportList::GetCellTextColor(int row, int column) const {
    if (!ValidRow(row) || !ValidColumn(column)) return kWindowText;
    return m_rows[static_cast<size_t>(row)].colors[static_cast<size_t>(column)];
}

void CMemoryReportList::SetItemTip(int row, const std::string& text) {
    if (ValidRow(row)) m_rows[static_cast<size_t>(row)].tip = text;
}

std::string CMemoryReportList::GetItemTip(int row) const {
    return ValidRow(row) ? m_rows[static_cast<size_t>(row)].tip : std::string();
}

int CMemoryReportList::GetSelectionMark() const { return m_selectionMark; }
void CMemoryReportList::SetSelectionMark(int row) { m_selectionMark = row; }

std::uint32_t CMemoryReportList::GetItemState(int row, std::uint32_t mask) const {
    return ValidRow(row) ? (m_rows[static_cast<size_t>(row)].state & mask) : 0;
}

void CMemoryReportList::SetItemState(int row, std::uint32_t state, std::uint32_t mask) {
    for (int r = 0; r < GetItemCount(); ++r) {
        if (row >= 0 && r != row) continue;
        auto& s = m_rows[static_cast<size_t>(r)].state;
        // Single selection: selecting or focusing a row takes it from the others.
        if (row >= 0) {
            for (auto& other : m_rows) other.state &= ~(state & mask);
        }
        s = (s & ~mask) | (state & mask);
    }
}
