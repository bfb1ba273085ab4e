#pragma once
#include <cstddef>
#include <memory>
#include <string>

// A message digest being computed over data fed in pieces.
class IDigest {
public:
    virtual ~IDigest() = default;
    virtual void Update(const void* data, std::size_t size) = 0;
    // The digest of everything fed so far, as lower-case hexadecimal digits.
    // Empty if the computation failed. Call once.
    virtual std::string FinishHex() = 0;
};

class IDigestFactory {
public:
    virtual ~IDigestFactory() = default;
    // A new MD5 computation; null if the algorithm is unavailable.
    virtual std::unique_ptr<IDigest> NewMd5() = 0;
};
