#pragma once
#include "monitor/ReportList.h"

// A report list held in memory, for the console view and for tests. The
// window-text colour is black.
class CMemoryReportList : public IReportList {
public:
    explicit CMemoryReportList(int columns = 2);
    int GetItemCount() const override;
    int GetColumnCount() const override;
    int DeleteAllItems() override;
    int InsertItem(int row, const std::vector<std::string>& texts) override;
    bool DeleteItem(int row) override;
    std::string GetItemText(int row, int column) const override;
    void SetItemText(int row, int column, const std::string& text) override;
    void SetItemData(int row, std::uint32_t value) override;
    std::uint32_t GetItemData(int row) const override;
    void SetCellTextColor(int row, int column, ColorRef color, bool redraw) override;
    ColorRef GetCellTextColor(int row, int column) const override;
    int GetSelectionMark() const override;
    void SetSelectionMark(int row) override;
    std::uint32_t GetItemState(int row, std::uint32_t mask) const override;
    void SetItemState(int row, std::uint32_t state, std::uint32_t mask) override;
    void SetItemTip(int row, const std::string& text) override;
    std::string GetItemTip(int row) const override;

    static constexpr ColorRef kWindowText = Rgb(0, 0, 0);

private:
    struct Row {
        std::vector<std::string> texts;
        std::vector<ColorRef> colors;
        std::string tip;
        std::uint32_t data = 0;
        std::uint32_t state = 0;
    };
    bool ValidRow(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }
    bool ValidColumn(int column) const { return column >= 0 && column < m_columns; }

    int m_columns;
    std::vector<Row> m_rows;
    int m_selectionMark = -1;
};
