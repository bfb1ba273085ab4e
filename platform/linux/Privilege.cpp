#include "platform/linux/Privilege.h"

#include <sys/capability.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/linux/DlLibraries.h"

namespace {

struct Libcap {
    decltype(&cap_get_proc) getProc = nullptr;
    decltype(&cap_set_proc) setProc = nullptr;
    decltype(&cap_get_flag) getFlag = nullptr;
    decltype(&cap_set_flag) setFlag = nullptr;
    decltype(&cap_from_name) fromName = nullptr;
    decltype(&cap_free) free = nullptr;

    // Looked up through the loader directly: this layer sits below the
    // program's shared function table.
    bool Resolve(IDynamicLibraries& libraries) {
        ModuleHandle module = libraries.Load("libcap.so.2");
        return module && Get(libraries, module, "cap_get_proc", getProc) &&
               Get(libraries, module, "cap_set_proc", setProc) &&
               Get(libraries, module, "cap_get_flag", getFlag) &&
               Get(libraries, module, "cap_set_flag", setFlag) &&
               Get(libraries, module, "cap_from_name", fromName) && Get(libraries, module, "cap_free", free);
    }

    template <typename F>
    static bool Get(IDynamicLibraries& libraries, ModuleHandle module, const char* name, F& out) {
        FunctionAddress f = libraries.FindFunction(module, name);
        out = reinterpret_cast<F>(f);
        return f != nullptr;
    }
};

struct Privilege {
    const char* name;
    std::vector<const char*> capabilities;
};

const Privilege kPrivileges[] = {
    {"SeDebugPrivilege", {"cap_sys_ptrace", "cap_dac_read_search"}},
};

}  // namespace

bool EnablePrivilege(IDynamicLibraries& libraries, const char* privilege, bool enable) {
    Libcap cap;
    if (!privilege || !cap.Resolve(libraries)) return false;
    const Privilege* wanted = nullptr;
    for (const Privilege& p : kPrivileges)
        if (std::strcmp(p.name, privilege) == 0) wanted = &p;
    if (!wanted) return false;

    std::vector<cap_value_t> values;
    for (const char* name : wanted->capabilities) {
        cap_value_t v = 0;
        if (cap.fromName(name, &v) != 0) return false;
        values.push_back(v);
    }

    auto freeCaps = [&cap](cap_t c) { cap.free(c); };
    using Caps = std::unique_ptr<std::remove_pointer_t<cap_t>, decltype(freeCaps)>;
    Caps state(cap.getProc(), freeCaps);
    if (!state) return false;
    // What the process may raise is fixed; asking for more would fail
    // half-way, so refuse before changing anything.
    for (cap_value_t v : values) {
        cap_flag_value_t permitted = CAP_CLEAR;
        if (cap.getFlag(state.get(), v, CAP_PERMITTED, &permitted) != 0) return false;
        if (enable && permitted != CAP_SET) return false;
    }
    if (cap.setFlag(state.get(), CAP_EFFECTIVE, static_cast<int>(values.size()), values.data(),
                    enable ? CAP_SET : CAP_CLEAR) != 0 ||
        cap.setProc(state.get()) != 0)
        return false;

    Caps after(cap.getProc(), freeCaps);
    if (!after) return false;
    for (cap_value_t v : values) {
        cap_flag_value_t effective = CAP_CLEAR;
        if (cap.getFlag(after.get(), v, CAP_EFFECTIVE, &effective) != 0) return false;
        if ((effective == CAP_SET) != enable) return false;
    }
    return true;
}

bool EnablePrivilege(const char* privilege, bool enable) {
    static CDlLibraries s_libraries;
    return EnablePrivilege(s_libraries, privilege, enable);
}
