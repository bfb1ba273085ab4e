#pragma once
#include "platform/Digest.h"

// Message digests computed by OpenSSL's EVP interface.
class COpensslDigests : public IDigestFactory {
public:
    std::unique_ptr<IDigest> NewMd5() override;
};
