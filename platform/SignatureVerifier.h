#pragma once
#include <string>

// A system's own check of a program file's digital signature (Authenticode
// on Windows). Systems without one have none, and the core falls back to
// what their package manager vouches for.
class ISignatureVerifier {
public:
    virtual ~ISignatureVerifier() = default;
    // True exactly when the file carries a valid signature that the system
    // trusts. Never asks the user anything; may read the whole file.
    virtual bool VerifySignature(const std::string& path) = 0;
};
