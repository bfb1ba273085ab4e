#include "platform/windows/ToolhelpProcessSource.h"

#include "platform/windows/Win32.h"
// These build on <windows.h>.
#include <tlhelp32.h>

#include "platform/windows/FileTimeValue.h"
#include "platform/windows/UniqueHandle.h"

namespace {

using QueryFullProcessImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
using GetProcessImageFileNameFn = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD);
using GetProcessIoCountersFn = BOOL(WINAPI*)(HANDLE, PIO_COUNTERS);

constexpr DWORD kPathBuffer = MAX_PATH;  // 260, as the image-name queries are given

template <typename F>
F As(FunctionAddress f) {
    return reinterpret_cast<F>(f);
}

class CToolhelpQuery : public IProcessQuery {
public:
    CToolhelpQuery(UniqueHandle process, const CToolhelpProcessSource::Functions& functions)
        : m_process(std::move(process)), m_functions(functions) {}

    bool GetTimes(ProcessTimes& times) override {
        FILETIME creation{}, exit{}, kernel{}, user{};
        if (!::GetProcessTimes(m_process.Get(), &creation, &exit, &kernel, &user)) return Fail();
        times.creation = FileTimeValue(creation);
        times.kernel = FileTimeValue(kernel);
        times.user = FileTimeValue(user);
        return true;
    }

    bool GetIoCounters(IoCounters& counters) override {
        auto get = As<GetProcessIoCountersFn>(m_functions.getProcessIoCounters);
        if (!get) return Missing();
        IO_COUNTERS io{};
        if (!get(m_process.Get(), &io)) return Fail();
        counters.readBytes = io.ReadTransferCount;
        counters.writeBytes = io.WriteTransferCount;
        return true;
    }

    bool QueryFullImageName(std::string& path) override {
        auto query = As<QueryFullProcessImageNameFn>(m_functions.queryFullProcessImageName);
        if (!query) return Missing();
        char buffer[kPathBuffer];
        DWORD size = kPathBuffer;
        if (!query(m_process.Get(), 0, buffer, &size)) return Fail();
        path.assign(buffer, size);
        return true;
    }

    bool GetImageFileName(std::string& path) override {
        auto get = As<GetProcessImageFileNameFn>(m_functions.getProcessImageFileName);
        if (!get) return Missing();
        char buffer[kPathBuffer];
        DWORD length = get(m_process.Get(), buffer, kPathBuffer);
        if (length == 0) return Fail();
        path.assign(buffer, length);
        return true;
    }

    int LastError() const override { return m_lastError; }

private:
    bool Fail() {
        m_lastError = static_cast<int>(::GetLastError());
        return false;
    }
    bool Missing() {
        m_lastError = ERROR_PROC_NOT_FOUND;
        return false;
    }

    UniqueHandle m_process;
    const CToolhelpProcessSource::Functions& m_functions;
    int m_lastError = 0;
};

}  // namespace

CToolhelpProcessSource::CToolhelpProcessSource(IDynamicLibraries& libraries) {
    ModuleHandle kernel32 = libraries.Load("kernel32.dll");
    ModuleHandle psapi = libraries.Load("psapi.dll");
    if (kernel32) {
        m_functions.queryFullProcessImageName =
            libraries.FindFunction(kernel32, "QueryFullProcessImageNameA");
        m_functions.getProcessIoCounters = libraries.FindFunction(kernel32, "GetProcessIoCounters");
    }
    if (psapi)
        m_functions.getProcessImageFileName = libraries.FindFunction(psapi, "GetProcessImageFileNameA");
    if (!m_functions.getProcessImageFileName && kernel32)
        m_functions.getProcessImageFileName = libraries.FindFunction(kernel32, "GetProcessImageFileNameA");
}

bool CToolhelpProcessSource::EnumerateProcesses(std::vector<std::uint32_t>& pids) {
    pids.clear();
    UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        m_lastError = static_cast<int>(::GetLastError());
        return false;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.Get(), &entry); more;
         more = ::Process32Next(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == 0 || entry.th32ProcessID == 4) continue;
        pids.push_back(entry.th32ProcessID);
    }
    return true;
}

std::uint32_t CToolhelpProcessSource::CurrentProcessId() { return ::GetCurrentProcessId(); }

bool CToolhelpProcessSource::GetModulePath(std::uint32_t pid, std::string& path) {
    UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid));
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    if (!snapshot || !::Module32First(snapshot.Get(), &entry)) {
        m_lastError = static_cast<int>(::GetLastError());
        return false;
    }
    // Read before anything else can change the thread's last error: an empty
    // path is reported with it.
    m_lastError = static_cast<int>(::GetLastError());
    path.assign(entry.szExePath, ::strnlen(entry.szExePath, sizeof entry.szExePath));
    return true;
}

std::unique_ptr<IProcessQuery> CToolhelpProcessSource::OpenQuery(std::uint32_t pid) {
    UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
    if (!process) {
        m_lastError = static_cast<int>(::GetLastError());
        return nullptr;
    }
    return std::make_unique<CToolhelpQuery>(std::move(process), m_functions);
}
