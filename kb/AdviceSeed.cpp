#include "kb/AdviceSeed.h"

#include <iterator>
#include <stdexcept>

namespace {

constexpr const char* kColumns[] = {"program", "kind", "what", "close", "busy"};
constexpr std::size_t kColumnCount = std::size(kColumns);

std::vector<std::string> SplitTabs(std::string_view line) {
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        std::size_t tab = line.find('\t', start);
        fields.emplace_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

}  // namespace

std::vector<AdviceSeedRow> ParseAdviceSeed(std::string_view text) {
    std::vector<AdviceSeedRow> rows;
    int number = 0;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (line.empty() || line[0] == '#') continue;
        auto fail = [number](const std::string& why) {
            throw std::runtime_error("advice line " + std::to_string(number) + ": " + why);
        };
        // A carriage return would end up inside the last text unseen.
        if (line.find('\r') != std::string_view::npos) fail("holds a carriage return");
        std::vector<std::string> fields = SplitTabs(line);
        if (fields.size() < kColumnCount)
            fail(std::to_string(fields.size()) + " fields, at least " + std::to_string(kColumnCount) +
                 " wanted (program, kind, what, close, busy, other names)");
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i].empty())
                fail(i < kColumnCount ? std::string("empty ") + kColumns[i]
                                      : "empty name in field " + std::to_string(i + 1));
        AdviceSeedRow row{number, {fields[0], fields[1], fields[2], fields[3], fields[4]}, {}};
        row.names.assign(fields.begin() + kColumnCount, fields.end());
        rows.push_back(std::move(row));
    }
    return rows;
}
