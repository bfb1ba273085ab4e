#include "winapp/Win32ReportList.h"

#include <algorithm>
#include <string>

#include "res/PrintableText.h"
#include "res/Utf16.h"

// The model's row states are the list view's own bits.
static_assert(kStateFocused == LVIS_FOCUSED && kStateSelected == LVIS_SELECTED);

void CWin32ReportList::InsertColumn(int column, const std::string& heading, int width) {
    LVCOLUMNA col{};
    col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    col.fmt = LVCFMT_LEFT;
    col.cx = width;
    col.pszText = const_cast<char*>(heading.c_str());
    ::SendMessageA(m_list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&col));
}

int CWin32ReportList::DeleteAllItems() {
    ::SendMessageA(m_list, LVM_DELETEALLITEMS, 0, 0);
    return m_rows.DeleteAllItems();
}

int CWin32ReportList::InsertItem(int row, const std::vector<std::string>& texts) {
    const int index = m_rows.InsertItem(row, texts);
    if (index < 0) return index;
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    // A program's name is shown escaped, never obeyed (line breaks, reordering).
    std::string first = Printable(m_rows.GetItemText(index, 0));
    item.pszText = first.data();
    if (::SendMessageA(m_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) != index) {
        // Keeps the model and the control row for row.
        ::SendMessageA(m_list, LVM_DELETEALLITEMS, 0, 0);
        m_rows.DeleteAllItems();
        return -1;
    }
    for (int column = 1; column < m_rows.GetColumnCount(); ++column) {
        std::string text = Printable(m_rows.GetItemText(index, column));
        LVITEMA sub{};
        sub.iSubItem = column;
        sub.pszText = text.data();
        ::SendMessageA(m_list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub));
    }
    return index;
}

bool CWin32ReportList::DeleteItem(int row) {
    if (!m_rows.DeleteItem(row)) return false;
    ::SendMessageA(m_list, LVM_DELETEITEM, row, 0);
    return true;
}

void CWin32ReportList::SetItemText(int row, int column, const std::string& text) {
    if (row < 0 || row >= GetItemCount() || column < 0 || column >= GetColumnCount()) return;
    m_rows.SetItemText(row, column, text);
    std::string copy = text;
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = copy.data();
    ::SendMessageA(m_list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

void CWin32ReportList::SetCellTextColor(int row, int column, ColorRef color, bool redraw) {
    m_rows.SetCellTextColor(row, column, color, redraw);
    // Custom draw reads the colour at the next paint: a row whose colour
    // changed in place must be painted again.
    if (redraw)
        ::InvalidateRect(m_list, nullptr, FALSE);
    else if (row >= 0 && row < GetItemCount())
        ::SendMessageA(m_list, LVM_REDRAWITEMS, row, row);
}

int CWin32ReportList::GetSelectionMark() const {
    return static_cast<int>(::SendMessageA(m_list, LVM_GETSELECTIONMARK, 0, 0));
}

void CWin32ReportList::SetSelectionMark(int row) { ::SendMessageA(m_list, LVM_SETSELECTIONMARK, 0, row); }

std::uint32_t CWin32ReportList::GetItemState(int row, std::uint32_t mask) const {
    if (row < 0 || row >= GetItemCount()) return 0;
    return static_cast<std::uint32_t>(::SendMessageA(m_list, LVM_GETITEMSTATE, row, mask));
}

void CWin32ReportList::SetItemState(int row, std::uint32_t state, std::uint32_t mask) {
    LVITEMA item{};
    item.stateMask = mask;
    item.state = state;
    ::SendMessageA(m_list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

LRESULT CWin32ReportList::CustomDraw(NMLVCUSTOMDRAW& draw) const {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
            const ColorRef color =
                m_rows.GetCellTextColor(static_cast<int>(draw.nmcd.dwItemSpec), draw.iSubItem);
            draw.clrText = color == kDefaultColor ? ::GetSysColor(COLOR_WINDOWTEXT) : color;
            return CDRF_DODEFAULT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

void CWin32ReportList::InfoTip(NMLVGETINFOTIPA& tip) const {
    const std::string text = GetItemTip(tip.iItem);
    if (text.empty() || !tip.pszText || tip.cchTextMax <= 0) return;
    const size_t n = std::min(text.size(), static_cast<size_t>(tip.cchTextMax - 1));
    text.copy(tip.pszText, n);
    tip.pszText[n] = '\0';
}

void CWin32ReportList::InfoTip(NMLVGETINFOTIPW& tip) const {
    const std::string text = GetItemTip(tip.iItem);
    if (text.empty() || !tip.pszText || tip.cchTextMax <= 0) return;
    const std::u16string wide = ToWideFromUtf8(text);
    const size_t n = std::min(wide.size(), static_cast<size_t>(tip.cchTextMax - 1));
    wide.copy(reinterpret_cast<char16_t*>(tip.pszText), n);
    tip.pszText[n] = L'\0';
}
