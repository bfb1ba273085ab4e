#include <gtest/gtest.h>

#include "details/DynamicFunction.h"
#include "platform/linux/DlLibraries.h"

namespace {

TEST(GetDynamicFunction, FindsRealLibraryFunctions) {
    CDlLibraries libs;
    CLAssoHelpers table;
    ModuleHandle libc = nullptr;
    FunctionAddress f = GetDynamicFunction(table, libs, "libc.so.6", "strlen", &libc);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(reinterpret_cast<size_t (*)(const char*)>(f)("four"), 4u);
    EXPECT_EQ(GetDynamicFunction(table, libs, "libc.so.6", "no_such_function_here", &libc), nullptr);
    ModuleHandle none = nullptr;
    EXPECT_EQ(GetDynamicFunction(table, libs, "libdoes-not-exist.so.9", "strlen", &none), nullptr);
}

}  // namespace
