#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/ProcessSource.h"

// Processes the test describes by hand. Each process has an identity
// (instance) so that a handle opened on one instance fails once the id
// belongs to another, as with a real system.
class CFakeProcessSource : public IProcessSource {
public:
    struct Proc {
        std::optional<std::string> modulePath;  // nullopt: the module read fails
        int moduleError = 13;
        bool openable = true;
        int openError = 5;
        std::optional<std::string> fullImageName;
        int imageError = 2;
        std::optional<std::string> kernelName;  // nullopt: none
        std::optional<ProcessTimes> times;      // nullopt: GetTimes fails
        std::optional<IoCounters> io;           // nullopt: GetIoCounters fails
        int ioError = 13;
        int instance = 0;
    };

    std::vector<std::uint32_t> order;  // enumeration order
    std::map<std::uint32_t, Proc> procs;
    std::uint32_t self = 1;
    bool failEnumeration = false;
    int openQueries = 0;   // handles open right now
    int moduleLookups = 0;

    // Adds or replaces pid (a replacement is a new instance) at the end of the order.
    Proc& Add(std::uint32_t pid, std::string path = {});
    void Remove(std::uint32_t pid);
    void AddCpu(std::uint32_t pid, std::uint64_t user, std::uint64_t kernel = 0);
    void AddIo(std::uint32_t pid, std::uint64_t read, std::uint64_t write = 0);

    bool EnumerateProcesses(std::vector<std::uint32_t>& pids) override;
    std::uint32_t CurrentProcessId() override { return self; }
    bool GetModulePath(std::uint32_t pid, std::string& path) override;
    std::unique_ptr<IProcessQuery> OpenQuery(std::uint32_t pid) override;
    int LastError() const override { return m_lastError; }
    std::uint64_t EnumerationTime() const override { return enumerationTime; }
    std::uint64_t enumerationTime = 0;  // 0: the fake cannot tell

private:
    int m_lastError = 0;
    int m_nextInstance = 1;
};
