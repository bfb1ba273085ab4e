#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Colours are 0x00BBGGRR; kDefaultColor stands for the window-text colour.
using ColorRef = std::uint32_t;
inline constexpr ColorRef kDefaultColor = 0xFFFFFFFFu;
constexpr ColorRef Rgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

// Row states.
inline constexpr std::uint32_t kStateFocused = 0x1;
inline constexpr std::uint32_t kStateSelected = 0x2;

// The report list that the refresh writes into and the selection is read
// from: rows of texts, one caller value per row, one text colour per cell.
// Row and column indices outside the list stand for "all" where noted.
class IReportList {
public:
    virtual ~IReportList() = default;
    virtual int GetItemCount() const = 0;
    virtual int GetColumnCount() const = 0;
    // Deletes every row; returns how many there were.
    virtual int DeleteAllItems() = 0;
    // Inserts a row with one text per column (extra texts are ignored,
    // missing ones stay empty); an index past the end appends. Returns the
    // index the row got, or -1 if refused.
    virtual int InsertItem(int row, const std::vector<std::string>& texts) = 0;
    // Deletes one row; false if there is no such row.
    virtual bool DeleteItem(int row) = 0;
    virtual std::string GetItemText(int row, int column) const = 0;
    // Replaces one cell's text; nothing for a cell outside the list.
    virtual void SetItemText(int row, int column, const std::string& text) = 0;
    // The caller's value of a row: 0 for a new row and for a row outside the list.
    virtual void SetItemData(int row, std::uint32_t value) = 0;
    virtual std::uint32_t GetItemData(int row) const = 0;
    // An invalid row or column means all rows or all columns; kDefaultColor
    // is the window-text colour.
    virtual void SetCellTextColor(int row, int column, ColorRef color, bool redraw) = 0;
    virtual ColorRef GetCellTextColor(int row, int column) const = 0;
    // -1 when no row carries the mark.
    virtual int GetSelectionMark() const = 0;
    virtual void SetSelectionMark(int row) = 0;
    virtual std::uint32_t GetItemState(int row, std::uint32_t mask) const = 0;
    virtual void SetItemState(int row, std::uint32_t state, std::uint32_t mask) = 0;
    // The row's tooltip, plain text with line breaks; empty for none. A list
    // that shows no tooltips keeps none.
    virtual void SetItemTip(int /*row*/, const std::string& /*text*/) {}
    virtual std::string GetItemTip(int /*row*/) const { return {}; }
};
