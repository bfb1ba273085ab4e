#pragma once
#include <algorithm>
#include <condition_variable>
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
    struct Session : IHttpSession {
        CHeldKnowledgeBase& kb;
        bool aborted = false;  // under kb.m_mutex
        explicit Session(CHeldKnowledgeBase& k) : kb(k) {}
        std::optional<HttpReply> Get(const std::string&, std::uint16_t, const std::string& object) override {
            const std::string fileName = Value(object, "fn");
            std::unique_lock<std::mutex> lock(kb.m_mutex);
            kb.m_objects.push_back(object);
            kb.m_changed.notify_all();
            kb.m_changed.wait(lock, [&] { return aborted || kb.m_released.count(fileName) != 0; });
            if (aborted) return std::nullopt;
            return HttpReply{200, "page of " + fileName};
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
