#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/DynamicLibraries.h"
#include "platform/ProcessSource.h"

// Processes as the tool-help snapshots list them. The program path comes
// from the main module of a module snapshot; where that fails (another
// user's or a protected process), from QueryFullProcessImageNameA and then
// GetProcessImageFileNameA on a query handle. Those two and
// GetProcessIoCounters are looked up at run time, so the source runs on
// systems that lack them (a missing function is a failed call).
class CToolhelpProcessSource : public IProcessSource {
public:
    // Loads kernel32.dll and psapi.dll through libraries, which must outlive
    // the source.
    explicit CToolhelpProcessSource(IDynamicLibraries& libraries);

    // Leaves out the idle process (0) and the System process (4).
    bool EnumerateProcesses(std::vector<std::uint32_t>& pids) override;
    std::uint32_t CurrentProcessId() override;
    bool GetModulePath(std::uint32_t pid, std::string& path) override;
    // PROCESS_QUERY_INFORMATION; the handle stays bound to its process.
    std::unique_ptr<IProcessQuery> OpenQuery(std::uint32_t pid) override;
    int LastError() const override { return m_lastError; }

    // The looked-up functions, with the system's own signatures.
    struct Functions {
        FunctionAddress queryFullProcessImageName = nullptr;
        FunctionAddress getProcessImageFileName = nullptr;
        FunctionAddress getProcessIoCounters = nullptr;
    };

private:
    Functions m_functions;
    int m_lastError = 0;
};
