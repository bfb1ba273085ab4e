#include "cli/ConsoleView.h"

#include <algorithm>

#include "res/PrintableText.h"
#include "res/StringTable.h"
#include "res/TextFormat.h"

std::string ColorEscape(ColorRef color) {
    if (color == kDefaultColor) return {};
    return FormatText("\x1b[38;2;%u;%u;%um", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

std::string RenderList(const IReportList& list, bool colors) {
    const std::string program = LoadText(IDS_COLUMN_PROGRAM);
    const std::string activity = LoadText(IDS_COLUMN_ACTIVITY);
    // Every cell is escaped before it is measured or printed.
    auto cell = [&list](int row, int column) { return Printable(list.GetItemText(row, column)); };
    size_t width = program.size();
    for (int r = 0; r < list.GetItemCount(); ++r) width = std::max(width, cell(r, 0).size());
    width = std::min<size_t>(width, 40);
    auto pad = [width](std::string s) {
        if (s.size() < width) s.append(width - s.size(), ' ');
        return s;
    };
    std::string out = pad(program) + "  " + activity + "\n";
    for (int r = 0; r < list.GetItemCount(); ++r) {
        std::string line = pad(cell(r, 0)) + "  " + cell(r, 1);
        while (!line.empty() && line.back() == ' ') line.pop_back();
        std::string esc = colors ? ColorEscape(list.GetCellTextColor(r, 0)) : std::string();
        // The memory list reports the window-text colour as black: plain.
        if (colors && list.GetCellTextColor(r, 0) == Rgb(0, 0, 0)) esc.clear();
        out += esc.empty() ? line : esc + line + "\x1b[0m";
        out += "\n";
    }
    return out;
}
