#include "monitor/Amounts.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "monitor/Process.h"
#include "res/HtmlText.h"
#include "res/StringTable.h"
#include "res/TextFormat.h"

std::string FormatShare(double share) { return FormatText("%.0f%%", std::max(0.0, share) * 100); }

std::string FormatRate(std::uint64_t bytesPerSecond) {
    static const char* const kUnits[] = {"B/s", "kB/s", "MB/s", "GB/s", "TB/s"};
    auto value = static_cast<double>(bytesPerSecond);
    size_t unit = 0;
    while (value >= 1000 && unit + 1 < std::size(kUnits)) {
        value /= 1000;
        ++unit;
    }
    if (unit == 0 || value >= 9.95) return FormatText("%.0f %s", value, kUnits[unit]);
    return FormatText("%.1f %s", value, kUnits[unit]);
}

std::string ComposeAmountsText(const CProcess& r) {
    return FormatText(LoadText(IDS_AMOUNTS).c_str(), FormatShare(r.m_dProcessorShare).c_str(),
                      FormatRate(r.m_ullDiskReadRate).c_str(), FormatRate(r.m_ullDiskWriteRate).c_str(),
                      FormatRate(r.m_ullNetReceiveRate).c_str(), FormatRate(r.m_ullNetSendRate).c_str());
}

std::string ComposeRowTip(const CProcess& r, bool amountsCurrent) {
    if (amountsCurrent) return ComposeAmountsText(r);
    CProcess idle;
    return ComposeAmountsText(idle);
}

std::string ComposeAmountsHtml(const CProcess& r) {
    std::string html = "<p>";
    for (char c : HtmlEscape(ComposeAmountsText(r))) {
        if (c == '\n')
            html += "<br>";
        else
            html += c;
    }
    return html + "</p>";
}

bool IsListed(const CProcess& r, std::int64_t now) {
    return r.m_tDiskUntil >= now || r.m_tNetworkUntil >= now || r.m_tProcessorUntil >= now ||
           r.m_tKeepUntil >= now;
}
