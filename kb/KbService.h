#pragma once
#include <string>
#include <string_view>

class CAdviceDatabase;
class CLocalFacts;

struct KbAnswer {
    int status = 200;
    std::string page;
};

// Turns a request target into a page, with no HTTP around it: reads the
// indexes and the advice, never a file named by the request.
class CKbService {
public:
    CKbService(CLocalFacts& facts, CAdviceDatabase& advice) : m_facts(facts), m_advice(advice) {}

    // target is the raw request target, "/index.php?lang=en&fn=...".
    KbAnswer Answer(std::string_view target);

private:
    CLocalFacts& m_facts;
    CAdviceDatabase& m_advice;
};
