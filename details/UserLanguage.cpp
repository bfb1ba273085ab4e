#include "details/UserLanguage.h"

#include <cstdlib>
#include <string_view>

namespace {

struct LocaleLang {
    std::string_view name;
    std::uint16_t langId;
};

// Language alone gives the main variant; language and territory the
// variant Windows has for it.
constexpr LocaleLang kLocales[] = {
    {"af", 0x0436},    {"ar", 0x0401},    {"ar_EG", 0x0C01}, {"ar_SA", 0x0401}, {"be", 0x0423},
    {"bg", 0x0402},    {"bn", 0x0445},    {"ca", 0x0403},    {"cs", 0x0405},    {"cy", 0x0452},
    {"da", 0x0406},    {"de", 0x0407},    {"de_AT", 0x0C07}, {"de_CH", 0x0807}, {"de_LI", 0x1407},
    {"de_LU", 0x1007}, {"el", 0x0408},    {"en", 0x0409},    {"en_AU", 0x0C09}, {"en_CA", 0x1009},
    {"en_GB", 0x0809}, {"en_IE", 0x1809}, {"en_IN", 0x4009}, {"en_NZ", 0x1409}, {"en_ZA", 0x1C09},
    {"es", 0x0C0A},    {"es_AR", 0x2C0A}, {"es_MX", 0x080A}, {"et", 0x0425},    {"eu", 0x042D},
    {"fa", 0x0429},    {"fi", 0x040B},    {"fr", 0x040C},    {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C},
    {"fr_CH", 0x100C}, {"fr_LU", 0x140C}, {"ga", 0x083C},    {"gl", 0x0456},    {"he", 0x040D},
    {"hi", 0x0439},    {"hr", 0x041A},    {"hu", 0x040E},    {"hy", 0x042B},    {"id", 0x0421},
    {"is", 0x040F},    {"it", 0x0410},    {"it_CH", 0x0810}, {"ja", 0x0411},    {"ka", 0x0437},
    {"kk", 0x043F},    {"ko", 0x0412},    {"lt", 0x0427},    {"lv", 0x0426},    {"mk", 0x042F},
    {"ms", 0x043E},    {"nb", 0x0414},    {"nl", 0x0413},    {"nl_BE", 0x0813}, {"nn", 0x0814},
    {"no", 0x0414},    {"pl", 0x0415},    {"pt", 0x0816},    {"pt_BR", 0x0416}, {"ro", 0x0418},
    {"ru", 0x0419},    {"sk", 0x041B},    {"sl", 0x0424},    {"sq", 0x041C},    {"sr", 0x0C1A},
    {"sv", 0x041D},    {"sv_FI", 0x081D}, {"sw", 0x0441},    {"ta", 0x0449},    {"te", 0x044A},
    {"th", 0x041E},    {"tr", 0x041F},    {"uk", 0x0422},    {"ur", 0x0420},    {"uz", 0x0443},
    {"vi", 0x042A},    {"zh", 0x0804},    {"zh_CN", 0x0804}, {"zh_HK", 0x0C04}, {"zh_SG", 0x1004},
    {"zh_TW", 0x0404},
};

constexpr std::uint16_t kEnglishUs = 0x0409;

bool Find(std::string_view name, std::uint16_t& langId) {
    for (const LocaleLang& l : kLocales) {
        if (l.name == name) {
            langId = l.langId;
            return true;
        }
    }
    return false;
}

}  // namespace

std::uint16_t LangIdFromLocale(const std::string& locale) {
    // language[_territory][.codeset][@modifier]
    std::string_view name(locale);
    name = name.substr(0, name.find_first_of(".@"));
    std::uint16_t langId = kEnglishUs;
    if (Find(name, langId)) return langId;
    if (Find(name.substr(0, name.find('_')), langId)) return langId;
    return kEnglishUs;
}

std::uint16_t GetUserDefaultLangID() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return LangIdFromLocale(value);
    }
    return kEnglishUs;
}
