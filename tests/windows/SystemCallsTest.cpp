// The Windows backend's file, trust, privilege and loader calls on files
// the tests make themselves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "details/DynamicFunction.h"
#include "details/SystemFolders.h"
#include "details/VersionResource.h"
#include "platform/windows/Privilege.h"
#include "platform/windows/Win32FileContent.h"
#include "platform/windows/Win32FileSystem.h"
#include "platform/windows/Win32Libraries.h"
#include "platform/windows/WinTrustVerifier.h"
#include "tests/windows/ChildProcess.h"

namespace {

// A folder of its own below the temporary folder, removed with its files.
class TempFolder {
public:
    TempFolder() {
        char base[MAX_PATH];
        DWORD n = ::GetTempPathA(MAX_PATH, base);
        m_path = std::string(base, n) + "lw-test-" + std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryA(m_path.c_str(), nullptr);
    }
    ~TempFolder() {
        for (const std::string& f : m_files) ::DeleteFileA(f.c_str());
        ::RemoveDirectoryA(m_path.c_str());
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        std::string path = m_path + "\\" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        m_files.push_back(path);
        return path;
    }
    std::string Copy(const std::string& from, const std::string& name) {
        std::string path = m_path + "\\" + name;
        ::CopyFileA(from.c_str(), path.c_str(), FALSE);
        m_files.push_back(path);
        return path;
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    std::vector<std::string> m_files;
};

TEST(Win32Files, EntriesTimesAndContent) {
    TempFolder temp;
    CWin32FileSystem files;
    CWin32FileContent content;
    const std::string path = temp.Write("data.bin", "0123456789");
    EXPECT_TRUE(files.EntryExists(path));
    EXPECT_TRUE(files.EntryExists(temp.Path()));
    EXPECT_FALSE(files.EntryExists(temp.Path() + "\\missing"));
    const std::int64_t now = static_cast<std::int64_t>(::_time64(nullptr));
    EXPECT_LE(std::abs(files.GetBirthTime(path) - now), 60);
    EXPECT_EQ(files.GetBirthTime(temp.Path() + "\\missing"), 0);

    std::unique_ptr<IReadableFile> file = content.OpenFile(path);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Size(), 10u);
    char bytes[4] = {};
    ASSERT_TRUE(file->ReadAt(6, bytes, 4));
    EXPECT_EQ(std::string(bytes, 4), "6789");
    EXPECT_FALSE(file->ReadAt(8, bytes, 4));  // past the end
    // Only disk files open: not folders, not devices.
    EXPECT_EQ(content.OpenFile(temp.Path()), nullptr);
    EXPECT_EQ(content.OpenFile("NUL"), nullptr);
    EXPECT_EQ(content.OpenFile(temp.Path() + "\\missing"), nullptr);
}

TEST(Win32Files, SystemFoldersAreTheSystemsOwn) {
    CWin32FileSystem files;
    const std::string windows = files.GetWindowsDirectory();
    const std::string system = files.GetSystemDirectory();
    ASSERT_FALSE(windows.empty());
    EXPECT_EQ(system.rfind(windows + "\\", 0), 0u) << system << " below " << windows;
    EXPECT_TRUE(files.EntryExists(system + "\\kernel32.dll"));
    EXPECT_TRUE(IsWindowsOrSystemFolder(system, files));
    EXPECT_FALSE(IsWindowsOrSystemFolder(system + "\\drivers", files));
    EXPECT_GT(files.GetBirthTime(windows), 0);
}

TEST(WinTrust, UnsignedAndMissingFilesAreNotTrustedWhateverTheirNames) {
    TempFolder temp;
    CWin32Libraries libraries;
    CWinTrustVerifier trust(libraries);
    const std::string program = ChildProcess::BesideTest(LW_SPIN);
    EXPECT_FALSE(trust.VerifySignature(program));
    EXPECT_FALSE(trust.VerifySignature(temp.Path() + "\\missing.exe"));
    // A name beyond ASCII (UTF-8, the tests' code page as the program's)
    // reaches the check as the same file: its answer is the unsigned
    // file's, not a missing file's.
    ASSERT_EQ(::GetACP(), static_cast<UINT>(CP_UTF8));
    const std::string plain = temp.Copy(program, "plain.exe");
    const std::string accented = temp.Copy(program, "caf\xc3\xa9.exe");
    ASSERT_TRUE(CWin32FileSystem().EntryExists(accented));
    EXPECT_EQ(trust.VerifyTrust(accented), trust.VerifyTrust(plain));
    EXPECT_NE(trust.VerifyTrust(accented), trust.VerifyTrust(temp.Path() + "\\missing.exe"));
}

// The attributes of a privilege in this process's token; -1 when the token
// does not hold it.
long PrivilegeAttributes(const char* name) {
    HANDLE raw = nullptr;
    LUID luid{};
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw) ||
        !::LookupPrivilegeValueA(nullptr, name, &luid))
        return -2;
    UniqueHandle token(raw);
    DWORD size = 0;
    ::GetTokenInformation(token.Get(), TokenPrivileges, nullptr, 0, &size);
    std::vector<char> buffer(size);
    if (!::GetTokenInformation(token.Get(), TokenPrivileges, buffer.data(), size, &size)) return -2;
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
        const LUID_AND_ATTRIBUTES& p = privileges->Privileges[i];
        if (p.Luid.LowPart == luid.LowPart && p.Luid.HighPart == luid.HighPart)
            return static_cast<long>(p.Attributes);
    }
    return -1;
}

TEST(Privilege, SwitchesAHeldPrivilegeAndLeavesOthersAlone) {
    CWin32Libraries libraries;
    EXPECT_FALSE(EnablePrivilege(libraries, nullptr, "SeNoSuchPrivilege", true));
    EXPECT_FALSE(EnablePrivilege(libraries, nullptr, nullptr, true));
    // No token of a user holds the right to make tokens: the call fails
    // and changes nothing.
    ASSERT_EQ(PrivilegeAttributes("SeCreateTokenPrivilege"), -1);
    EXPECT_FALSE(EnablePrivilege(libraries, nullptr, "SeCreateTokenPrivilege", true));
    EXPECT_EQ(PrivilegeAttributes("SeCreateTokenPrivilege"), -1);

    if (PrivilegeAttributes("SeDebugPrivilege") < 0) GTEST_SKIP() << "this token lacks SeDebugPrivilege";
    for (bool enable : {true, false, true}) {
        EXPECT_TRUE(EnablePrivilege(libraries, nullptr, "SeDebugPrivilege", enable));
        EXPECT_EQ((PrivilegeAttributes("SeDebugPrivilege") & SE_PRIVILEGE_ENABLED) != 0, enable);
    }
}

// The program reads version resources itself, the same on both systems; on
// Windows it must find what the system's own calls find.
TEST(VersionResource, OwnReaderAgreesWithTheSystem) {
    const std::string program = ChildProcess::BesideTest(LW_SPIN);
    CWin32FileContent content;
    std::unique_ptr<IReadableFile> file = content.OpenFile(program);
    ASSERT_NE(file, nullptr);
    std::vector<std::uint8_t> ours;
    ASSERT_EQ(GetFileVersionInfo(*file, ours, 0x0409), VersionInfoResult::Found);
    DWORD ignored = 0;
    std::vector<char> system(::GetFileVersionInfoSizeA(program.c_str(), &ignored));
    ASSERT_FALSE(system.empty());
    ASSERT_TRUE(::GetFileVersionInfoA(program.c_str(), 0, static_cast<DWORD>(system.size()), system.data()));
    for (std::uint16_t language : {0x0409, 0x0407}) {
        const std::string prefix = GetVersionPrefix(ours, language);
        EXPECT_EQ(prefix, "\\StringFileInfo\\040904E4\\");
        for (const VersionKey& k : kVersionKeys) {
            char* value = nullptr;
            UINT length = 0;
            const std::string block = prefix + k.name;
            const std::string expected =
                ::VerQueryValueA(system.data(), block.c_str(), reinterpret_cast<void**>(&value), &length)
                    ? value
                    : "";
            EXPECT_EQ(GetVersionString(ours, prefix, k.name), expected) << k.name;
        }
    }
}

TEST(GetDynamicFunction, PrefersTheAnsiEntryPointOfRealLibraries) {
    CWin32Libraries libraries;
    CLAssoHelpers table;
    ModuleHandle advapi = nullptr, wintrust = nullptr, none = nullptr;
    const FunctionAddress lookup =
        GetDynamicFunction(table, libraries, "ADVAPI32.DLL", "LookupPrivilegeValue", &advapi);
    EXPECT_EQ(lookup, libraries.FindFunction(advapi, "LookupPrivilegeValueA"));
    EXPECT_NE(lookup, nullptr);
    const FunctionAddress verify =
        GetDynamicFunction(table, libraries, "WinTrust.DLL", "WinVerifyTrust", &wintrust);
    EXPECT_EQ(verify, libraries.FindFunction(wintrust, "WinVerifyTrust"));
    EXPECT_NE(verify, nullptr);
    EXPECT_EQ(GetDynamicFunction(table, libraries, "no-such-library.dll", "F", &none), nullptr);
}

}  // namespace
