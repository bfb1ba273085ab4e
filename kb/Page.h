#pragma once
#include <optional>
#include <string>

#include "kb/AdviceDatabase.h"
#include "kb/DesktopIndex.h"
#include "kb/PackageIndex.h"
#include "kb/Query.h"

// What the server knows about the program of a query; any part may be missing.
struct KbFacts {
    const KbPackage* package = nullptr;
    const KbDesktopEntry* desktop = nullptr;
    const std::string* manSummary = nullptr;
    std::optional<KbAdvice> advice;
};

// The page for the details panel: HTML that QTextBrowser renders (headings,
// paragraphs, a table, links), every text escaped, nothing remote embedded.
std::string ComposePage(const KbQuery& query, const KbFacts& facts);

// A short page saying why a request got no answer.
std::string ComposeErrorPage(const std::string& title, const std::string& reason);
