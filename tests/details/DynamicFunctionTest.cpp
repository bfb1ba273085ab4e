#include <gtest/gtest.h>

#include <map>
#include <set>

#include "details/DynamicFunction.h"

namespace {

void FunctionOne() {}
void FunctionTwo() {}
FunctionAddress One() { return &FunctionOne; }
FunctionAddress Two() { return &FunctionTwo; }

// Libraries described by the test; counts every question asked.
class CFakeLibraries : public IDynamicLibraries {
public:
    std::map<std::string, std::set<std::string>> exports;  // library -> names
    std::map<std::string, FunctionAddress> addresses;      // name -> address
    std::vector<std::string> asked;
    int loads = 0;

    ModuleHandle Load(const std::string& name) override {
        ++loads;
        auto it = exports.find(name);
        return it == exports.end() ? nullptr : &it->second;
    }
    FunctionAddress FindFunction(ModuleHandle module, const std::string& name) override {
        asked.push_back(name);
        auto* names = static_cast<std::set<std::string>*>(module);
        if (!names->count(name)) return nullptr;
        auto it = addresses.find(name);
        return it == addresses.end() ? One() : it->second;
    }
};

TEST(HashFunctionName, AddsSignedBytesAndRotates) {
    const std::pair<std::string, std::uint32_t> cases[] = {
        {"", 0x00000000u},         {"A", 0x00000082u},  // 0x41 << 1
        {"AB", 0x00000188u},                            // (0x82 + 0x42) << 1
        {"\x80", 0xFFFFFF01u},                          // -128, rotated: the top bit comes round
        {"\xFF", 0xFFFFFFFFu},                          // -1 rotated is still all ones
        {"\xFF\x01", 0x00000000u},                      // all ones + 1 wraps to 0
    };
    for (const auto& [name, hash] : cases) EXPECT_EQ(HashFunctionName(name), hash) << name;
}

TEST(CLAssoHelpers, KeepsKeysInUnsignedHashOrderWithParallelValues) {
    CLAssoHelpers table;
    // Names whose hashes have the top bit set must sort after the others,
    // as unsigned numbers.
    const std::vector<std::string> names = {"\x80", "WinVerifyTrust",   "A", "\xE4",
                                            "\xC4", "OpenProcessToken", "AB"};
    for (size_t i = 0; i < names.size(); ++i)
        table[names[i]] = reinterpret_cast<FunctionAddress>(std::uintptr_t{100 + i});
    ASSERT_EQ(table.GetSize(), names.size());
    for (size_t i = 1; i < table.GetSize(); ++i)
        EXPECT_LE(table.KeyAt(i - 1).m_dwHash, table.KeyAt(i).m_dwHash);
    for (size_t i = 0; i < names.size(); ++i) {
        size_t index = 0;
        ASSERT_TRUE(table.Lookup(names[i], index)) << i;
        EXPECT_EQ(table.KeyAt(index).m_strName, names[i]);
        EXPECT_EQ(table.ValueAt(index), reinterpret_cast<FunctionAddress>(std::uintptr_t{100 + i}));
    }
    // Equality is byte-wise and case-sensitive: Latin-1 "ä" is not "Ä".
    size_t index = 0;
    EXPECT_FALSE(table.Lookup("a", index));
    EXPECT_FALSE(table.Lookup("winverifytrust", index));
    // A missing name reports where it would go: before the first greater hash.
    EXPECT_FALSE(table.Lookup("\xFF", index));  // hash 0xFFFFFFFF is the greatest
    EXPECT_EQ(index, table.GetSize());
}

TEST(CLAssoHelpers, NamesWithEqualHashesStayDistinct) {
    // "AC" and "BA" hash alike ((0x41 << 1) + 0x43 == (0x42 << 1) + 0x41).
    ASSERT_EQ(HashFunctionName("AC"), HashFunctionName("BA"));
    CLAssoHelpers table;
    table["AC"] = One();
    table["BA"] = Two();
    size_t a = 0, b = 0;
    ASSERT_TRUE(table.Lookup("AC", a));
    ASSERT_TRUE(table.Lookup("BA", b));
    EXPECT_NE(a, b);
    EXPECT_EQ(table.ValueAt(a), One());
    EXPECT_EQ(table.ValueAt(b), Two());
    EXPECT_EQ(table.GetSize(), 2u);
}

TEST(GetDynamicFunction, LooksUpEachNameOnce) {
    CFakeLibraries libs;
    libs.exports["advapi"] = {"LookupPrivilegeValueA", "LookupPrivilegeValue", "OpenProcessToken"};
    libs.exports["wintrust"] = {"WinVerifyTrust"};
    libs.addresses["LookupPrivilegeValueA"] = Two();
    CLAssoHelpers table;
    ModuleHandle advapi = nullptr, wintrust = nullptr;

    // The "A" variant is preferred where it exists.
    EXPECT_EQ(GetDynamicFunction(table, libs, "advapi", "LookupPrivilegeValue", &advapi), Two());
    EXPECT_EQ(libs.asked, (std::vector<std::string>{"LookupPrivilegeValueA"}));
    // Otherwise the plain name, after the attempt with "A".
    EXPECT_EQ(GetDynamicFunction(table, libs, "wintrust", "WinVerifyTrust", &wintrust), One());
    EXPECT_EQ(libs.asked.back(), "WinVerifyTrust");
    EXPECT_EQ(libs.asked.size(), 3u);

    // Found and missing names are both answered from the table from now on.
    EXPECT_EQ(GetDynamicFunction(table, libs, "advapi", "Missing", &advapi), nullptr);
    const size_t asked = libs.asked.size();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(GetDynamicFunction(table, libs, "advapi", "LookupPrivilegeValue", &advapi), Two());
        EXPECT_EQ(GetDynamicFunction(table, libs, "wintrust", "WinVerifyTrust", &wintrust), One());
        EXPECT_EQ(GetDynamicFunction(table, libs, "advapi", "Missing", &advapi), nullptr);
    }
    EXPECT_EQ(libs.asked.size(), asked);
    EXPECT_EQ(libs.loads, 2);
}

TEST(GetDynamicFunction, RetriesAFailedLoad) {
    CFakeLibraries libs;
    CLAssoHelpers table;
    ModuleHandle module = nullptr;
    EXPECT_EQ(GetDynamicFunction(table, libs, "later", "F", &module), nullptr);
    EXPECT_EQ(table.GetSize(), 0u);  // nothing is remembered about F
    libs.exports["later"] = {"F"};
    EXPECT_EQ(GetDynamicFunction(table, libs, "later", "F", &module), One());
    EXPECT_EQ(libs.loads, 2);
}

}  // namespace
