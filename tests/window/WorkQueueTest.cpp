#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <vector>

#include "window/WorkQueue.h"

namespace {

// The program selected last is the one the user waits for: while the worker
// is busy, the newest job waiting runs first.
TEST(WorkQueue, TheNewestWaitingJobRunsFirst) {
    std::mutex mutex;
    std::condition_variable changed;
    bool running = false, open = false;
    std::vector<int> order;
    {
        CWorkQueue queue(1);
        queue.Push([&] {
            std::unique_lock lock(mutex);
            running = true;
            changed.notify_all();
            changed.wait(lock, [&] { return open; });
        });
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return running; });
        }
        for (int job : {1, 2, 3})
            queue.Push([&, job] {
                std::lock_guard lock(mutex);
                order.push_back(job);
                changed.notify_all();
            });
        {
            std::unique_lock lock(mutex);
            open = true;
            changed.notify_all();
            changed.wait(lock, [&] { return order.size() == 3; });
        }
    }
    EXPECT_EQ(order, (std::vector<int>{3, 2, 1}));
}

}  // namespace
