#include "kb/Page.h"

#include "res/HtmlText.h"
#include "res/PrintableText.h"

namespace {

void Row(std::string& page, const char* label, const std::string& html) {
    page += "<tr><td valign=\"top\"><b>";
    page += label;
    page += "</b></td><td>";
    page += html;
    page += "</td></tr>\n";
}

void TextRow(std::string& page, const char* label, const std::string& text) {
    if (!text.empty()) Row(page, label, HtmlEscape(text));
}

// deb-control(5) extended description: "." is an empty line, lines that
// start with a blank are verbatim, the rest is flowing text.
void Description(std::string& page, const std::vector<std::string>& lines) {
    std::string flowing, verbatim;
    auto flush = [&] {
        if (!flowing.empty()) page += "<p>" + flowing + "</p>\n";
        if (!verbatim.empty()) page += "<p><tt>" + verbatim + "</tt></p>\n";
        flowing.clear();
        verbatim.clear();
    };
    for (const std::string& line : lines) {
        if (line == ".") {
            flush();
        } else if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
            if (!flowing.empty()) flush();
            if (!verbatim.empty()) verbatim += "<br>";
            verbatim += HtmlEscape(line);
        } else {
            if (!verbatim.empty()) flush();
            if (!flowing.empty()) flowing += ' ';
            flowing += HtmlEscape(line);
        }
    }
    flush();
}

std::string Integrity(const KbQuery& q, const KbPackage* package) {
    if (q.isSigned)
        return package ? "<b>Intact</b>: the file matches the checksum that package " +
                             HtmlEscape(package->name) + " recorded for it."
                       : std::string("<b>Intact</b>: the file matches the checksum its package recorded.");
    if (package)
        return "<b>Not intact</b>: the file does not match what package " + HtmlEscape(package->name) +
               " installed, or it could not be read to check.";
    return "<b>Not verified</b>: the file belongs to no installed package, so no checksum vouches for it.";
}

// The client says "unknown" for a time it could not learn; an empty one is
// no better known.
std::string TimeText(const std::string& sent) { return sent.empty() ? std::string("unknown") : sent; }

}  // namespace

std::string ComposePage(const KbQuery& q, const KbFacts& facts) {
    std::string page;
    page.reserve(4096);
    // Names and paths come from file names anyone can choose: shown escaped,
    // so none can break a line or reorder its letters into another name.
    const std::string title = Printable(facts.desktop ? facts.desktop->name : q.fileName);
    page += "<html><head><meta charset=\"utf-8\"><title>" + HtmlEscape(title) + "</title></head><body>\n";
    page += "<h3>" + HtmlEscape(title.empty() ? std::string("Unnamed program") : title);
    if (facts.desktop && facts.desktop->name != q.fileName)
        page += " <small>(" + HtmlEscape(Printable(q.fileName)) + ")</small>";
    page += "</h3>\n";
    std::string lead;
    if (facts.desktop && !facts.desktop->comment.empty())
        lead = facts.desktop->comment;
    else if (facts.manSummary)
        lead = *facts.manSummary;
    else if (facts.package)
        lead = facts.package->synopsis;
    else if (!q.fileDescription.empty())
        lead = q.fileDescription;
    if (!lead.empty()) page += "<p><i>" + HtmlEscape(lead) + "</i></p>\n";

    page += "<table cellspacing=\"0\" cellpadding=\"2\">\n";
    Row(page, "File", HtmlEscape(Printable(q.Path())));
    Row(page, "Folder",
        q.inSystemFolder ? std::string("a system folder, where the operating system's own programs live")
                         : std::string("not a system folder"));
    Row(page, "Integrity", Integrity(q, facts.package));
    if (facts.package) {
        std::string html = HtmlEscape(facts.package->name);
        if (!facts.package->version.empty()) html += " " + HtmlEscape(facts.package->version);
        if (!facts.package->synopsis.empty()) html += ": " + HtmlEscape(facts.package->synopsis);
        Row(page, "Package", html);
    } else {
        Row(page, "Package", "The file belongs to no installed package.");
    }
    // The manual's line, unless it already leads the page.
    if (facts.manSummary && lead != *facts.manSummary)
        TextRow(page, "Manual", Printable(q.fileName) + " - " + *facts.manSummary);
    TextRow(page, "Started", TimeText(q.processStart));
    TextRow(page, "File created", TimeText(q.fileCreated));
    TextRow(page, "Folder created", TimeText(q.folderCreated));
    page += "</table>\n";

    if (facts.advice) {
        const KbAdvice& a = *facts.advice;
        page += "<h4>About " + HtmlEscape(a.program);
        if (!a.kind.empty()) page += " <small>(" + HtmlEscape(a.kind) + ")</small>";
        page += "</h4>\n<p>" + HtmlEscape(a.what) + "</p>\n";
        page += "<p><b>Safe to close?</b> " + HtmlEscape(a.close) + "</p>\n";
        page += "<p><b>What keeps it busy:</b> " + HtmlEscape(a.busy) + "</p>\n";
        if (!facts.package && !q.isSigned)
            page +=
                "<p><b>Note:</b> this copy bears the name of a known program but no package installed it; "
                "if you did not put it there yourself, look at it closely.</p>\n";
    }

    if (facts.package && (!facts.package->description.empty() || !facts.package->homepage.empty())) {
        page += "<h4>What its package says</h4>\n";
        Description(page, facts.package->description);
        std::string link = SafeLinkTarget(facts.package->homepage);
        if (!link.empty()) page += "<p>Homepage: <a href=\"" + link + "\">" + link + "</a></p>\n";
    }

    std::string version;
    auto versionRow = [&version](const char* label, const std::string& text) {
        if (!text.empty()) Row(version, label, HtmlEscape(text));
    };
    versionRow("Product", q.productName);
    versionRow("Version", q.fileVersion);
    versionRow("Description", q.fileDescription);
    versionRow("Company", q.companyName);
    versionRow("Copyright", q.legalCopyright);
    versionRow("Comments", q.comments);
    versionRow("Internal name", q.internalName);
    if (!version.empty())
        page += "<h4>Version information</h4>\n<table cellspacing=\"0\" cellpadding=\"2\">\n" + version +
                "</table>\n";

    page +=
        "<p><small>From loadwatch-kb: facts of the machine it runs on and our own advice. "
        "Nothing was sent elsewhere.</small></p>\n</body></html>\n";
    return page;
}

std::string ComposeErrorPage(const std::string& title, const std::string& reason) {
    return "<html><head><meta charset=\"utf-8\"><title>" + HtmlEscape(title) + "</title></head><body>\n<h3>" +
           HtmlEscape(title) + "</h3>\n<p>" + HtmlEscape(reason) + "</p>\n</body></html>\n";
}
