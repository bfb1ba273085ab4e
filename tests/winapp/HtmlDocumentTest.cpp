#include <gtest/gtest.h>

#include "winapp/HtmlDocument.h"

namespace {
// One line per block: its kind, then its cells' runs marked up as
// *bold* /italic/ `mono` ~small~ [text](link), cells split by " | ".
std::string Describe(const std::vector<HtmlBlock>& blocks) {
    static const char* kKinds[] = {"P", "H", "L", "TR"};
    std::string out;
    for (const HtmlBlock& block : blocks) {
        out += kKinds[block.kind];
        if (block.level) out += std::to_string(block.level);
        out += ":";
        for (std::size_t c = 0; c < block.cells.size(); ++c) {
            out += c ? " | " : " ";
            for (const HtmlRun& run : block.cells[c]) {
                std::string t = run.text;
                if (run.bold) t = "*" + t + "*";
                if (run.italic) t = "/" + t + "/";
                if (run.mono) t = "`" + t + "`";
                if (run.small) t = "~" + t + "~";
                if (!run.href.empty()) t = "[" + t + "](" + run.href + ")";
                out += t;
            }
        }
        out += "\n";
    }
    return out;
}

struct Case {
    const char* name;
    const char* html;
    const char* blocks;
};

// What the knowledge base writes, and the forgiving reading of the rest.
const Case kCases[] = {
    {"head is not shown; heading with a small part",
     "<html><head><meta charset=\"utf-8\"><title>Tool</title></head><body>\n<h3>Tool "
     "<small>(tool.exe)</small></h3>\n"
     "<p><i>Does things.</i></p>\n",
     "H3: Tool ~(tool.exe)~\nP: /Does things./\n"},
    {"table rows with a bold label cell",
     "<table cellspacing=\"0\" cellpadding=\"2\">\n<tr><td "
     "valign=\"top\"><b>File</b></td><td>C:\\x\\tool.exe</td></tr>\n"
     "<tr><td valign=\"top\"><b>Signed</b></td><td><b>Intact</b>: matches.</td></tr>\n</table>\n",
     "TR: *File* | C:\\x\\tool.exe\nTR: *Signed* | *Intact*: matches.\n"},
    {"entities, and an ampersand that starts none",
     "<p>a &amp; b &lt;c&gt; &quot;&#233;&#x41;&#0;&nbsp;&bogus; & done &ndash;</p>",
     "P: a & b <c> \"\xC3\xA9"
     "A\xEF\xBF\xBD\xC2\xA0&bogus; & done \xE2\x80\x93\n"},
    {"whitespace collapses; line breaks stay", "<h4>Advice</h4>\n<p>  one\n   two\t<br>three <br> </p>",
     "H4: Advice\nP: one two\nthree\n"},
    {"teletype across a break", "<p><tt>  line 1<br>  line 2</tt></p>", "P: `line 1\nline 2`\n"},
    {"links keep their decoded address",
     "<p>See <a href=\"https://example.org/?a=1&amp;b=2\">the page</a>.</p>",
     "P: See [the page](https://example.org/?a=1&b=2).\n"},
    {"lists nest", "<ul><li>one</li><li>two<ul><li>deep</li></ul></li></ul>", "L1: one\nL1: two\nL2: deep\n"},
    {"scripts, styles and comments are left out",
     "<style>p{}</style><script>x<1</script><!-- <p>no</p> --><p>yes</p>", "P: yes\n"},
    {"plain text is one paragraph", "Please choose a program.", "P: Please choose a program.\n"},
    {"cut off in a tag or an entity", "<p>end &amp<b", "P: end &amp\n"},
    {"upper-case tags and bare attributes", "<P><B>x</B> <A HREF=http://a/b>y</A></P>",
     "P: *x* [y](http://a/b)\n"},
};

TEST(HtmlDocumentTest, ReadsTheKnowledgeBaseSubset) {
    for (const Case& c : kCases) EXPECT_EQ(Describe(ParseHtml(c.html)), c.blocks) << c.name;
}
}  // namespace
