#include "kb/KbService.h"

#include "kb/AdviceDatabase.h"
#include "kb/LocalFacts.h"
#include "kb/Page.h"
#include "kb/Query.h"

KbAnswer CKbService::Answer(std::string_view target) {
    KbQuery query;
    std::string error;
    if (!ParseKbQuery(target, query, error)) return {400, ComposeErrorPage("Bad request", error)};

    CLocalFacts::View view = m_facts.Current();
    KbFacts facts;
    const std::string path = query.Path();
    // Only absolute paths can name a file of this machine; the lookups are
    // exact, so "/usr/bin/../../etc/shadow" simply finds nothing.
    if (!path.empty() && path[0] == '/') {
        facts.package = view.packages->FindOwner(path);
        facts.desktop = view.desktop->Find(path, query.fileName);
    }
    facts.manSummary = view.manuals->Find(query.fileName);
    std::vector<std::string> packages;
    if (facts.package) packages.push_back(facts.package->name);
    if (!query.productName.empty()) packages.push_back(query.productName);
    facts.advice = m_advice.Find(AdviceNames(query.fileName, packages));
    return {200, ComposePage(query, facts)};
}
