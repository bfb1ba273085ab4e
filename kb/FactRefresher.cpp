#include "kb/FactRefresher.h"

#include "kb/LocalFacts.h"

CFactRefresher::CFactRefresher(CLocalFacts& facts, std::chrono::milliseconds interval)
    : m_facts(facts), m_interval(interval), m_thread([this] { Run(); }) {}

CFactRefresher::~CFactRefresher() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void CFactRefresher::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_wake.wait_for(lock, m_interval, [this] { return m_stop; })) {
        lock.unlock();
        m_facts.Refresh();
        lock.lock();
    }
}
