#pragma once
#include <string>
#include <vector>

// A piece of text in one style.
struct HtmlRun {
    std::string text;
    bool bold = false;
    bool italic = false;
    bool mono = false;
    bool small = false;
    std::string href;  // the link it belongs to; empty for none
    bool operator==(const HtmlRun&) const = default;
};

// One line-starting block: a paragraph, heading, list item or table row
// (one cell each for the others). A "\n" run is a line break.
struct HtmlBlock {
    enum Kind { kParagraph, kHeading, kListItem, kTableRow };
    Kind kind = kParagraph;
    int level = 0;  // heading 1-6; list item: nesting depth from 1
    std::vector<std::vector<HtmlRun>> cells;
};

// The subset of HTML the knowledge base writes, read forgivingly: headings,
// paragraphs, line breaks, bold, italic, teletype, small, lists, tables and
// links; entities decoded; whitespace collapsed; head, script and style
// left out. Unknown tags are ignored, their text kept.
std::vector<HtmlBlock> ParseHtml(const std::string& html);
