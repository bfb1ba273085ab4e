#include <gtest/gtest.h>

#include "window/AutostartSwitch.h"

namespace {

TEST(HasAutostartSwitch, AnywhereInAnyCase) {
    using Args = std::vector<std::string>;
    const std::pair<Args, bool> cases[] = {
        {{"/FromAutostart"}, true},
        {{"/fRoMaUtOsTaRt"}, true},
        {{"-x", "/FROMAUTOSTART", "y"}, true},
        {{"x/fromautostartY"}, true},  // anywhere, also inside a word
        {{}, false},
        {{"/From", "Autostart"}, false},
        {{"FromAutostart"}, false},
    };
    for (const auto& [args, expected] : cases) {
        std::string shown;
        for (const auto& a : args) shown += a + "|";
        EXPECT_EQ(HasAutostartSwitch(args), expected) << shown;
    }
}

}  // namespace
