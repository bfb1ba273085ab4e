#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class CLocalFacts;

// Looks for changed sources every interval on a thread of its own, so a
// request never waits for a stat, let alone for a rebuild.
class CFactRefresher {
public:
    CFactRefresher(CLocalFacts& facts, std::chrono::milliseconds interval);
    CFactRefresher(const CFactRefresher&) = delete;
    CFactRefresher& operator=(const CFactRefresher&) = delete;
    ~CFactRefresher();  // stops and joins

private:
    void Run();

    CLocalFacts& m_facts;
    const std::chrono::milliseconds m_interval;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};
