#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/DynamicLibraries.h"

// The value of a name that has been entered but not looked up yet.
inline FunctionAddress NotLookedUp() { return reinterpret_cast<FunctionAddress>(std::uintptr_t{1}); }

// Hash of a function name: each byte added as a signed 8-bit value (bytes
// from 0x80 up count negative), the 32-bit sum rotated left by one bit
// after each byte.
std::uint32_t HashFunctionName(const std::string& name);

// One key of the function table.
struct CLAssoHelper {
    std::int32_t m_nKind = 0;  // 1 for a key made from a string
    std::uint32_t m_dwHash = 0;
    std::string m_strName;
    std::int32_t m_nNumber = 0;  // takes part in equality
    std::int32_t m_nReserved1 = 0;
    std::int32_t m_nReserved2 = 0;

    static CLAssoHelper FromName(const std::string& name);
    // Kind and hash equal, and for string keys the names (byte for byte,
    // case-sensitive) and the numbers.
    bool operator==(const CLAssoHelper& other) const;
};

// Function name -> entry point. The keys are kept in ascending (unsigned)
// hash order; the value of the key at index i is at index i.
class CLAssoHelpers {
public:
    // found: the index of the equal key; otherwise the index where it would
    // be inserted (the first key with a greater hash, or the key count).
    bool Lookup(const std::string& name, std::size_t& index) const;
    // The value of name, inserted at its ordered place (value null) if missing.
    FunctionAddress& operator[](const std::string& name);

    std::size_t GetSize() const { return m_keys.size(); }
    const CLAssoHelper& KeyAt(std::size_t i) const { return m_keys[i]; }
    FunctionAddress ValueAt(std::size_t i) const { return m_values[i]; }

private:
    std::vector<CLAssoHelper> m_keys;
    std::vector<FunctionAddress> m_values;
};

// Entry point of function in library, looked up once per name and kept in
// table. *module is loaded on first use (a failed load is tried again next
// time). The name with "A" appended is tried before the plain name. A name
// that was not found stays null and is not looked up again. The table is
// keyed by the function name alone, whichever library it came from.
FunctionAddress GetDynamicFunction(CLAssoHelpers& table, IDynamicLibraries& libraries,
                                   const std::string& library, const std::string& function,
                                   ModuleHandle* module);
// The same with the program's one table, kept until exit.
FunctionAddress GetDynamicFunction(IDynamicLibraries& libraries, const std::string& library,
                                   const std::string& function, ModuleHandle* module);
