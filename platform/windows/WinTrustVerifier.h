#pragma once
#include <cstdint>

#include "platform/DynamicLibraries.h"
#include "platform/SignatureVerifier.h"

// WinVerifyTrust with the generic Authenticode policy, no user interface and
// no revocation checks, looked up in WinTrust.DLL at run time (not found:
// nothing is signed). Paths are in the ANSI code page, as the ANSI calls
// that produced them return them, and are widened from it.
class CWinTrustVerifier : public ISignatureVerifier {
public:
    // libraries must outlive the verifier.
    explicit CWinTrustVerifier(IDynamicLibraries& libraries) : m_libraries(libraries) {}

    bool VerifySignature(const std::string& path) override { return VerifyTrust(path) == 0; }
    // WinVerifyTrust's own result (0: trusted); -1 when the function or the
    // path cannot be had.
    std::int32_t VerifyTrust(const std::string& path);

private:
    IDynamicLibraries& m_libraries;
    ModuleHandle m_winTrust = nullptr;  // loaded once; a failed load is tried again
    FunctionAddress m_winVerifyTrust = nullptr;
    bool m_lookedUp = false;  // a missing function is not asked for again
};
