// loadwatch-cli.exe as a user runs it, with a program the test starts and
// the local knowledge-base stand-in (http_test_server.py).
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/windows/ChildProcess.h"

namespace {

struct CliRun {
    int exitCode = -1;
    std::string out;
};

// Runs the console program with arguments; its output comes through a pipe.
CliRun RunCli(const std::string& arguments) {
    CliRun run;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readRaw = nullptr, writeRaw = nullptr;
    if (!::CreatePipe(&readRaw, &writeRaw, &inherit, 0)) return run;
    UniqueHandle readEnd(readRaw), writeEnd(writeRaw);
    ::SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    const std::string program = ChildProcess::BesideTest(LW_CLI);
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &info))
        return run;
    UniqueHandle process(info.hProcess), thread(info.hThread);
    writeEnd.Reset();  // the child holds the only writer now: its exit ends the reads
    char buffer[4096];
    DWORD n = 0;
    while (::ReadFile(readEnd.Get(), buffer, sizeof buffer, &n, nullptr) && n > 0) run.out.append(buffer, n);
    // Text-mode output ends its lines with CR LF.
    std::erase(run.out, '\r');
    ::WaitForSingleObject(process.Get(), 60000);
    DWORD code = 0;
    if (::GetExitCodeProcess(process.Get(), &code)) run.exitCode = static_cast<int>(code);
    return run;
}

TEST(Cli, WatchesAndRejectsBadArguments) {
    CliRun watch = RunCli("--count 2");
    EXPECT_EQ(watch.exitCode, 0) << watch.out;
    EXPECT_EQ(watch.out, "Program  Activity\n\nProgram  Activity\n\n");
    for (const char* bad : {"--count 0", "--details x", "--frobnicate"})
        EXPECT_EQ(RunCli(bad).exitCode, 2) << bad;
}

TEST(Cli, DetailsOfABuiltProgramAndItsKnowledgeBaseRequest) {
    std::string port;
    std::ifstream(ChildProcess::BesideTest("http_port")) >> port;
    if (port.empty()) GTEST_SKIP() << "no test server (ctest starts it)";
    const std::string base = "http://127.0.0.1:" + port + "/index.php?lang=en&";
    ASSERT_TRUE(::SetEnvironmentVariableA("LOADWATCH_KB_URL", base.c_str()));
    ChildProcess child(LW_SPIN, "30");
    ASSERT_NE(child.Pid(), 0u);

    CliRun details = RunCli("--details " + std::to_string(child.Pid()));
    EXPECT_EQ(details.exitCode, 0) << details.out;
    // The seven strings as a whole are the backend test's; here they reach the output.
    for (const char* line : {"\nfile: lw-test-spin.exe\n", "\nProductName: Loadwatch test spinner\n",
                             "\nComments: \n", "\nsigned: 0\n"})
        EXPECT_NE(details.out.find(line), std::string::npos) << line << " in\n" << details.out;
    // The request as sent, and as the server received it.
    const std::string query = "fn=lw%2dtest%2dspin%2eexe&p=";
    EXPECT_NE(details.out.find("Request: " + base + query), std::string::npos) << details.out;
    EXPECT_NE(details.out.find("target=/index.php?lang=en&" + query), std::string::npos) << details.out;
    EXPECT_NE(details.out.find("&pn=Loadwatch%20test%20spinner&fv=%32%2e%35%2e%30%2e%37&"),
              std::string::npos);
    EXPECT_NE(details.out.find("\nagent=LDWT Browser\n"), std::string::npos) << details.out;
}

// The program's version string of a name, read with the system's calls.
std::string VersionString(const std::string& program, const std::string& name) {
    DWORD ignored = 0;
    std::vector<char> data(::GetFileVersionInfoSizeA(program.c_str(), &ignored));
    if (data.empty() ||
        !::GetFileVersionInfoA(program.c_str(), 0, static_cast<DWORD>(data.size()), data.data()))
        return "(no version resource)";
    char* value = nullptr;
    UINT length = 0;
    const std::string key = "\\StringFileInfo\\040904b0\\" + name;
    if (!::VerQueryValueA(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return "(no " + name + ")";
    return std::string(value, length > 0 ? length - 1 : 0);
}

TEST(Cli, BothProgramsCarryOurVersionResource) {
    const std::pair<const char*, const char*> programs[] = {{LW_CLI, "loadwatch-cli.exe"},
                                                            {LW_WINDOW, "loadwatch.exe"}};
    for (auto [path, file] : programs) {
        const std::string program = ChildProcess::BesideTest(path);
        EXPECT_EQ(VersionString(program, "OriginalFilename"), file);
        for (auto [name, value] : {std::pair{"ProductName", "Loadwatch"},
                                   {"FileVersion", "1.13"},
                                   {"ProductVersion", "1.13"},
                                   {"CompanyName", "loadwatch.example.org"}})
            EXPECT_EQ(VersionString(program, name), value) << file << " " << name;
        EXPECT_EQ(VersionString(program, "FileDescription").rfind("Loadwatch", 0), 0u) << file;
    }
}

TEST(Cli, NamesBeyondAsciiAreUtf8AsOnLinux) {
    char temp[MAX_PATH];
    const std::string folder(temp, ::GetTempPathA(MAX_PATH, temp));
    const std::string name = "lw-caf\xc3\xa9-" + std::to_string(::GetCurrentProcessId()) + ".exe";
    const std::string copy = folder + name;
    ASSERT_TRUE(::CopyFileA(ChildProcess::BesideTest(LW_SPIN).c_str(), copy.c_str(), FALSE));
    CliRun details;
    {
        ChildProcess child(copy, "30");
        ASSERT_NE(child.Pid(), 0u);
        ::SetEnvironmentVariableA("LOADWATCH_KB_URL", "http://127.0.0.1:1/index.php?");  // nobody there
        details = RunCli("--details " + std::to_string(child.Pid()));
    }
    ::DeleteFileA(copy.c_str());
    EXPECT_NE(details.out.find("\nfile: " + name + "\n"), std::string::npos) << details.out;
    EXPECT_NE(details.out.find("?fn=lw%2dcaf%c3%a9%2d"), std::string::npos) << details.out;
}

}  // namespace
