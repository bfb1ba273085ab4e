#pragma once
#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/HttpClient.h"

// A knowledge base that answers a request only once the test releases its
// program (by file name, as sent in "fn="), or never; an abort ends the
// waiting requests with a failure. The page names the program. Thread-safe:
// the requests come from workers.
class CHeldKnowledgeBase : public IHttpClient {
public:
    // The program may be answered (now or when asked).
    void Release(const std::string& fileName) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_released.insert(fileName);
        }
        m_changed.notify_all();
    }
    // Every request's object so far, in arrival order.
    std::vector<std::string> Objects() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_objects;
    }
    // Waits until `count` requests have arrived.
    void WaitForRequests(std::size_t count) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [&] { return m_objects.size() >= count; });
    }
    // The value of `key` in the one request about fileName; "" if none.
    std::string Sent(const std::string& fileName, const std::string& key) {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const std::string& o : m_objects) {
            if (Value(o, "fn") != fileName) continue;
            return Value(o, key);
        }
        return {};
    }
    std::size_t RequestsAbout(const std::string& fileName) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return static_cast<std::size_t>(
            std::count_if(m_objects.begin(), m_objects.end(),
                          [&](const std::string& o) { return Value(o, "fn") == fileName; }));
    }

    static std::string Value(const std::string& object, const std::string& key) {
        // Appended piece by piece: GCC 12 warns falsely on "&" + string at -O3.
        std::string k(1, '&');
        k.append(key).append(1, '=');
        std::string padded(1, '&');
        padded.append(object, object.find('?') + 1);
        auto at = padded.find(k);
        if (at == std::string::npos) return {};
        at += k.size();
        return padded.substr(at, padded.find('&', at) - at);
    }

    std::unique_ptr<IHttpSession> OpenSession(const HttpSessionOptions&) override {
        return std::make_unique<Session>(*this);
    }

private:
    struct Request : IHttpRequest {
        CHeldKnowledgeBase& kb;
        const bool& aborted;
        std::string fileName, body;
        std::size_t pos = 0;
        Request(CHeldKnowledgeBase& k, const bool& a, const std::string& object)
            : kb(k), aborted(a), fileName(Value(object, "fn")) {
            {
                std::lock_guard<std::mutex> lock(kb.m_mutex);
                kb.m_objects.push_back(object);
            }
            kb.m_changed.notify_all();
        }
        bool SendRequest() override {
            std::unique_lock<std::mutex> lock(kb.m_mutex);
            kb.m_changed.wait(lock, [&] { return aborted || kb.m_released.count(fileName) != 0; });
            if (aborted) return false;
            body = "page of " + fileName;
            return true;
        }
        bool QueryInfoStatusCode(std::uint32_t& status) override { return status = 200, true; }
        std::ptrdiff_t Read(void* buffer, std::size_t count) override {
            const std::size_t n = std::min(count, body.size() - pos);
            std::memcpy(buffer, body.data() + pos, n);
            pos += n;
            return static_cast<std::ptrdiff_t>(n);
        }
    };
    struct Connection : IHttpConnection {
        CHeldKnowledgeBase& kb;
        const bool& aborted;
        Connection(CHeldKnowledgeBase& k, const bool& a) : kb(k), aborted(a) {}
        std::unique_ptr<IHttpRequest> OpenRequest(const std::string& object) override {
            return std::make_unique<Request>(kb, aborted, object);
        }
    };
    struct Session : IHttpSession {
        CHeldKnowledgeBase& kb;
        bool aborted = false;  // under kb.m_mutex
        explicit Session(CHeldKnowledgeBase& k) : kb(k) {}
        std::unique_ptr<IHttpConnection> GetHttpConnection(const std::string&, std::uint16_t) override {
            return std::make_unique<Connection>(kb, aborted);
        }
        void Abort() override {
            {
                std::lock_guard<std::mutex> lock(kb.m_mutex);
                aborted = true;
            }
            kb.m_changed.notify_all();
        }
    };

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::set<std::string> m_released;
    std::vector<std::string> m_objects;
};
