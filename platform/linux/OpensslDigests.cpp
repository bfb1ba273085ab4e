#include "platform/linux/OpensslDigests.h"

#include <openssl/evp.h>

namespace {

class COpensslDigest : public IDigest {
public:
    explicit COpensslDigest(EVP_MD_CTX* context) : m_context(context) {}
    ~COpensslDigest() override { EVP_MD_CTX_free(m_context); }
    COpensslDigest(const COpensslDigest&) = delete;
    COpensslDigest& operator=(const COpensslDigest&) = delete;

    void Update(const void* data, std::size_t size) override {
        if (m_ok && EVP_DigestUpdate(m_context, data, size) != 1) m_ok = false;
    }
    std::string FinishHex() override {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (!m_ok || EVP_DigestFinal_ex(m_context, digest, &length) != 1) return {};
        m_ok = false;
        static const char kHex[] = "0123456789abcdef";
        std::string hex;
        for (unsigned int i = 0; i < length; ++i) {
            hex += kHex[digest[i] >> 4];
            hex += kHex[digest[i] & 0xF];
        }
        return hex;
    }

private:
    EVP_MD_CTX* m_context;
    bool m_ok = true;
};

}  // namespace

std::unique_ptr<IDigest> COpensslDigests::NewMd5() {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    if (!context) return nullptr;
    if (EVP_DigestInit_ex(context, EVP_md5(), nullptr) != 1) {
        EVP_MD_CTX_free(context);
        return nullptr;
    }
    return std::make_unique<COpensslDigest>(context);
}
