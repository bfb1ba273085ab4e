#pragma once
#include <string>

#include "platform/windows/UniqueHandle.h"
#include "platform/windows/Win32.h"

// A child process the test started; terminated and waited for on
// destruction. Only ever acts on its own child.
class ChildProcess {
public:
    // program: a full path, or one relative to the test program's folder
    // as ../helpers/x.exe.
    ChildProcess(const std::string& program, const std::string& arguments) {
        m_path = program.size() > 2 && program[1] == ':' ? program : BesideTest(program);
        std::string commandLine = "\"" + m_path + "\" " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!::CreateProcessA(m_path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &info))
            return;
        ::CloseHandle(info.hThread);
        m_process.Reset(info.hProcess);
        m_pid = info.dwProcessId;
    }
    ~ChildProcess() { End(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    DWORD Pid() const { return m_pid; }
    const std::string& Path() const { return m_path; }
    void End() {
        if (!m_process) return;
        ::TerminateProcess(m_process.Get(), 1);
        ::WaitForSingleObject(m_process.Get(), 10000);
        m_process.Reset();
    }

    // The full path of a file named relative to the test program's folder.
    static std::string BesideTest(const std::string& relative) {
        char self[MAX_PATH];
        DWORD n = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string folder(self, n);
        folder.erase(folder.find_last_of('\\') + 1);
        char full[MAX_PATH];
        DWORD m = ::GetFullPathNameA((folder + relative).c_str(), MAX_PATH, full, nullptr);
        return std::string(full, m);
    }

private:
    UniqueHandle m_process;
    DWORD m_pid = 0;
    std::string m_path;
};
