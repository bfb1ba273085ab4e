#include "monitor/ActivityText.h"

#include <array>

#include "monitor/Process.h"
#include "res/StringTable.h"
#include "res/TextFormat.h"

namespace {
struct Kind {
    unsigned label;
    std::int64_t until;
    std::int64_t last;
};

std::array<Kind, 3> KindsOf(const CProcess& r) {
    return {{{IDS_HARD_DISK, r.m_tDiskUntil, r.m_tLastDisk},
             {IDS_NETWORK, r.m_tNetworkUntil, r.m_tLastNetwork},
             {IDS_PROCESSOR, r.m_tProcessorUntil, r.m_tLastProcessor}}};
}
}  // namespace

std::string ComposeActivityText(const CProcess& record, std::int64_t now) {
    std::string text;
    if (record.m_dwPid == 0) text = LoadText(IDS_PROGRAM_CLOSED);
    for (const Kind& k : KindsOf(record)) {
        if (k.until < now) continue;
        text = JoinWithComma(text, LoadText(k.label));
        std::int64_t age = now - k.last;
        if (age > 0) text += FormatText(" (%lli seconds ago)", static_cast<long long>(age));
    }
    return text;
}

std::int64_t ActivityAge(const CProcess& record, std::int64_t now) {
    std::int64_t age = 20;
    for (const Kind& k : KindsOf(record))
        if (k.until > now && now - k.last <= age) age = now - k.last;
    return age;
}

ColorRef FadeColor(std::int64_t age) {
    if (age <= 0) return kDefaultColor;
    // Ages past the window cannot reach here from the list, but a level
    // beyond 255 must not wrap into a dark grey.
    std::int64_t g = 10 * age + 30;
    if (g > 255) g = 255;
    return Rgb(static_cast<unsigned>(g), static_cast<unsigned>(g), static_cast<unsigned>(g));
}

ColorRef RowColor(const CProcess& record, std::int64_t now) {
    if (record.m_dwPid == 0) return kEndedColor;
    return FadeColor(ActivityAge(record, now));
}
