#pragma once
#include <clocale>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "tests/fakes/Environment.h"

// Sets LC_TIME and TZ for one test and puts both back afterwards.
class CLocaleAndZone {
public:
    CLocaleAndZone(const char* locale, const char* zone) {
        m_oldLocale = std::setlocale(LC_TIME, nullptr);
        if (const char* tz = std::getenv("TZ")) m_oldZone = tz;
        m_ok = std::setlocale(LC_TIME, locale) != nullptr;
        SetEnvironment("TZ", zone);
        ::tzset();
    }
    ~CLocaleAndZone() {
        std::setlocale(LC_TIME, m_oldLocale.c_str());
        SetEnvironment("TZ", m_oldZone ? m_oldZone->c_str() : nullptr);
        ::tzset();
    }
    CLocaleAndZone(const CLocaleAndZone&) = delete;
    CLocaleAndZone& operator=(const CLocaleAndZone&) = delete;
    bool Ok() const { return m_ok; }

private:
    std::string m_oldLocale;
    std::optional<std::string> m_oldZone;
    bool m_ok = false;
};
