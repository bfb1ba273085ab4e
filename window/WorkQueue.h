#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A fixed number of threads working off a queue, newest job first: the
// program selected last is the one the user waits for. Jobs still waiting
// when the queue is destroyed are dropped; the destructor waits for the
// running ones, so they must be able to finish (or be cut short) quickly.
class CWorkQueue {
public:
    explicit CWorkQueue(std::size_t threads);
    ~CWorkQueue();
    CWorkQueue(const CWorkQueue&) = delete;
    CWorkQueue& operator=(const CWorkQueue&) = delete;

    void Push(std::function<void()> job);

private:
    void Run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};
