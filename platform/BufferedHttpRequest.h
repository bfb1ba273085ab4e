#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/HttpClient.h"

// A request whose SendRequest reads the whole reply into m_body and then
// calls SetReplied: status and body are served from memory after that.
class CBufferedHttpRequest : public IHttpRequest {
public:
    bool QueryInfoStatusCode(std::uint32_t& status) override {
        if (!m_bReplied) return false;
        status = m_status;
        return true;
    }
    std::ptrdiff_t Read(void* buffer, std::size_t count) override {
        if (!m_bReplied) return -1;
        std::size_t n = std::min(count, m_body.size() - m_readPos);
        if (n) std::memcpy(buffer, m_body.data() + m_readPos, n);
        m_readPos += n;
        return static_cast<std::ptrdiff_t>(n);
    }

protected:
    bool Replied() const { return m_bReplied; }
    void SetReplied(std::uint32_t status) {
        m_status = status;
        m_bReplied = true;
    }
    std::vector<char> m_body;

private:
    std::size_t m_readPos = 0;
    std::uint32_t m_status = 0;
    bool m_bReplied = false;
};
