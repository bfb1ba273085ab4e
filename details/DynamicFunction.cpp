#include "details/DynamicFunction.h"

#include <algorithm>

std::uint32_t HashFunctionName(const std::string& name) {
    std::uint32_t hash = 0;
    for (char c : name) {
        hash += static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int8_t>(c)));
        hash = (hash << 1) | (hash >> 31);
    }
    return hash;
}

CLAssoHelper CLAssoHelper::FromName(const std::string& name) {
    CLAssoHelper key;
    key.m_nKind = 1;
    key.m_dwHash = HashFunctionName(name);
    key.m_strName = name;
    return key;
}

bool CLAssoHelper::operator==(const CLAssoHelper& other) const {
    if (m_nKind != other.m_nKind || m_dwHash != other.m_dwHash) return false;
    if (m_nKind != 1) return true;
    return m_strName == other.m_strName && m_nNumber == other.m_nNumber;
}

bool CLAssoHelpers::Lookup(const std::string& name, std::size_t& index) const {
    const CLAssoHelper key = CLAssoHelper::FromName(name);
    auto first = std::lower_bound(m_keys.begin(), m_keys.end(), key.m_dwHash,
                                  [](const CLAssoHelper& k, std::uint32_t h) { return k.m_dwHash < h; });
    for (auto it = first; it != m_keys.end() && it->m_dwHash == key.m_dwHash; ++it) {
        if (*it == key) {
            index = static_cast<std::size_t>(it - m_keys.begin());
            return true;
        }
        first = it + 1;
    }
    index = static_cast<std::size_t>(first - m_keys.begin());
    return false;
}

FunctionAddress& CLAssoHelpers::operator[](const std::string& name) {
    std::size_t index = 0;
    if (!Lookup(name, index)) {
        m_keys.insert(m_keys.begin() + static_cast<std::ptrdiff_t>(index), CLAssoHelper::FromName(name));
        m_values.insert(m_values.begin() + static_cast<std::ptrdiff_t>(index), nullptr);
    }
    return m_values[index];
}

FunctionAddress GetDynamicFunction(CLAssoHelpers& table, IDynamicLibraries& libraries,
                                   const std::string& library, const std::string& function,
                                   ModuleHandle* module) {
    if (!*module) {
        *module = libraries.Load(library);
        if (!*module) return nullptr;
    }
    std::size_t index = 0;
    if (!table.Lookup(function, index)) table[function] = NotLookedUp();
    FunctionAddress& value = table[function];
    if (value == NotLookedUp()) {
        value = libraries.FindFunction(*module, function + "A");
        if (!value) value = libraries.FindFunction(*module, function);
    }
    return value;
}

FunctionAddress GetDynamicFunction(IDynamicLibraries& libraries, const std::string& library,
                                   const std::string& function, ModuleHandle* module) {
    static CLAssoHelpers s_functionTable;
    return GetDynamicFunction(s_functionTable, libraries, library, function, module);
}
