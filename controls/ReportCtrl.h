#pragma once
#include <QTreeView>
#include <cstdint>
#include <string>
#include <vector>

#include "monitor/ReportList.h"

class CReportModel;

// The report list of the window: single selection of whole rows, the
// selection visible also without the focus, a header whose cells are not
// buttons, and Space ignored. Each row carries the caller's 32-bit value and
// a text and a background colour per cell; the list writes and reads it
// through IReportList.
//
// The focused row is the view's current row. The selection mark follows the
// focused row whenever a row gains the focus (by the user or by
// SetItemState) and can also be set on its own; DeleteAllItems clears it.
class CReportCtrl : public QTreeView, public IReportList {
    Q_OBJECT
public:
    // Column alignments for InsertColumn.
    static constexpr int LVCFMT_LEFT = 0;
    static constexpr int LVCFMT_RIGHT = 1;
    static constexpr int LVCFMT_CENTER = 2;
    // Extended style bits; full-row selection is always on.
    static constexpr std::uint32_t LVS_EX_SUBITEMIMAGES = 0x02;
    static constexpr std::uint32_t LVS_EX_FULLROWSELECT = 0x20;

    explicit CReportCtrl(QWidget* parent = nullptr);
    ~CReportCtrl() override;

    // Returns the previous extended style; the full-row and sub-item bits
    // are always kept.
    std::uint32_t SetExtendedStyle(std::uint32_t style);
    std::uint32_t GetExtendedStyle() const { return m_dwExtendedStyle; }

    // Inserts a column (past the end appends); every row gets a cell there in
    // the default colours. A width below 0 keeps the header's default width.
    // Returns the new column's index, or -1.
    int InsertColumn(int column, const std::string& heading, int format = LVCFMT_LEFT, int width = -1,
                     int subItem = -1);

    // IReportList.
    int GetItemCount() const override;
    int GetColumnCount() const override;
    int DeleteAllItems() override;
    int InsertItem(int row, const std::vector<std::string>& texts) override;
    // The selection mark of a row below moves up with it; on the row
    // itself it is cleared.
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
    // A row of -1 changes every row. Unlike a click, it never scrolls.
    void SetItemState(int row, std::uint32_t state, std::uint32_t mask) override;
    // Shown over every cell of the row.
    void SetItemTip(int row, const std::string& text) override;
    std::string GetItemTip(int row) const override;

    ColorRef GetCellBackColor(int row, int column) const;

signals:
    // A row's selected or focused state changed, by the user or by code.
    // Sent once per changed row after the change is complete, so that the
    // selection mark and the states read in a handler are final.
    void itemChanged(int row);
    // A left click ended on the list; row and column are -1 off the rows.
    void itemClicked(int row, int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // Holds the change notifications back until the outermost one ends.
    struct Batch {
        explicit Batch(CReportCtrl& ctrl) : m_ctrl(ctrl) { ++m_ctrl.m_nBatch; }
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        CReportCtrl& m_ctrl;
    };
    void NoteChanged(int row);
    ColorRef WindowTextColor() const;
    ColorRef WindowColor() const;

    CReportModel* m_pModel;
    std::uint32_t m_dwExtendedStyle;
    int m_nSelectionMark = -1;
    int m_nBatch = 0;
    std::vector<int> m_pendingChanged;
};
