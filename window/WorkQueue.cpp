#include "window/WorkQueue.h"

CWorkQueue::CWorkQueue(std::size_t threads) {
    m_threads.reserve(threads);
    for (std::size_t i = 0; i < threads; ++i) m_threads.emplace_back([this] { Run(); });
}

CWorkQueue::~CWorkQueue() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_jobs.clear();
    }
    m_wake.notify_all();
    for (std::thread& t : m_threads) t.join();
}

void CWorkQueue::Push(std::function<void()> job) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_front(std::move(job));
    }
    m_wake.notify_one();
}

void CWorkQueue::Run() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_stopping) return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job();
    }
}
