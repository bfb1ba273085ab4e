#pragma once
#include "monitor/MemoryReportList.h"
#include "monitor/ReportList.h"
#include "platform/windows/Win32.h"
// after Win32.h
#include <commctrl.h>

// The report list on a list-view control: texts, row values and colours
// are kept here (the control shows the texts), selection and focus are the
// control's. Rows are drawn in their cells' colours through custom draw.
class CWin32ReportList : public IReportList {
public:
    void Attach(HWND list) { m_list = list; }
    HWND Handle() const { return m_list; }
    void InsertColumn(int column, const std::string& heading, int width);
    // The list's NM_CUSTOMDRAW answer.
    LRESULT CustomDraw(NMLVCUSTOMDRAW& draw) const;
    // The list's LVN_GETINFOTIP answers: the row's tooltip, cut to the
    // buffer; the buffer is left alone for a row without one.
    void InfoTip(NMLVGETINFOTIPA& tip) const;
    void InfoTip(NMLVGETINFOTIPW& tip) const;

    int GetItemCount() const override { return m_rows.GetItemCount(); }
    int GetColumnCount() const override { return m_rows.GetColumnCount(); }
    int DeleteAllItems() override;
    int InsertItem(int row, const std::vector<std::string>& texts) override;
    bool DeleteItem(int row) override;
    std::string GetItemText(int row, int column) const override { return m_rows.GetItemText(row, column); }
    void SetItemText(int row, int column, const std::string& text) override;
    void SetItemData(int row, std::uint32_t value) override { m_rows.SetItemData(row, value); }
    std::uint32_t GetItemData(int row) const override { return m_rows.GetItemData(row); }
    void SetCellTextColor(int row, int column, ColorRef color, bool redraw) override;
    ColorRef GetCellTextColor(int row, int column) const override {
        return m_rows.GetCellTextColor(row, column);
    }
    int GetSelectionMark() const override;
    void SetSelectionMark(int row) override;
    std::uint32_t GetItemState(int row, std::uint32_t mask) const override;
    void SetItemState(int row, std::uint32_t state, std::uint32_t mask) override;
    // Kept here; the control asks for it when it shows the tip.
    void SetItemTip(int row, const std::string& text) override { m_rows.SetItemTip(row, text); }
    std::string GetItemTip(int row) const override { return m_rows.GetItemTip(row); }

private:
    HWND m_list = nullptr;
    CMemoryReportList m_rows;
};
