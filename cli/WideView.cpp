#include "cli/WideView.h"

#include <algorithm>
#include <vector>

#include "cli/ConsoleView.h"
#include "res/PrintableText.h"
#include "monitor/ActivityText.h"
#include "monitor/Amounts.h"
#include "monitor/Processes.h"
#include "res/StringTable.h"

std::string RenderWide(const CProcesses& processes, std::int64_t now, bool colors) {
    struct Row {
        std::vector<std::string> cells;
        ColorRef color;
    };
    std::vector<Row> rows;
    rows.push_back({{LoadText(IDS_COLUMN_PROGRAM), "PID", "CPU", "Read/s", "Write/s", "Recv/s", "Sent/s",
                     LoadText(IDS_COLUMN_ACTIVITY)},
                    kDefaultColor});
    for (int i = 0; i < processes.GetSize(); ++i) {
        const CProcess& r = processes[i];
        if (!IsListed(r, now)) continue;
        rows.push_back({{Printable(r.ProgramText()), r.m_dwPid ? std::to_string(r.m_dwPid) : "-",
                         FormatShare(r.m_dProcessorShare), FormatRate(r.m_ullDiskReadRate),
                         FormatRate(r.m_ullDiskWriteRate), FormatRate(r.m_ullNetReceiveRate),
                         FormatRate(r.m_ullNetSendRate), Printable(ComposeActivityText(r, now))},
                        RowColor(r, now)});
    }
    // Every column but the last is padded to its widest cell; the program's
    // up to 40 characters. Numbers are aligned to the right.
    const size_t columns = rows.front().cells.size();
    std::vector<size_t> width(columns, 0);
    for (const Row& row : rows)
        for (size_t c = 0; c + 1 < columns; ++c) width[c] = std::max(width[c], row.cells[c].size());
    width[0] = std::min<size_t>(width[0], 40);
    std::string out;
    for (const Row& row : rows) {
        std::string line;
        for (size_t c = 0; c < columns; ++c) {
            const std::string& cell = row.cells[c];
            const size_t gap = c + 1 < columns && cell.size() < width[c] ? width[c] - cell.size() : 0;
            if (c > 0) line += "  ";
            if (c == 0 || c + 1 == columns) {
                line += cell + std::string(c + 1 < columns ? gap : 0, ' ');
            } else {
                line += std::string(gap, ' ') + cell;
            }
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        const std::string esc = colors ? ColorEscape(row.color) : std::string();
        out += esc.empty() ? line : esc + line + "\x1b[0m";
        out += "\n";
    }
    return out;
}
