// The worker the engine runs office calls on: bounded waits, a posted task
// that a later call waits for, and the caller's thread kept busy with its
// own events meanwhile.
#include "word/BoundedWorker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace quillan::test {
namespace {

using namespace std::chrono_literals;

TEST(BoundedWorker, CallsWaitForAPostedTaskAndTheCallerKeepsServingItsEvents)
{
    word::BoundedWorker worker;
    int served = 0;
    worker.whileWaiting = [&served] { ++served; };
    std::atomic<int> order{0};
    int postedAt = 0;
    int ranAt = 0;
    ASSERT_TRUE(worker.post([&] {
        std::this_thread::sleep_for(200ms);
        postedAt = ++order;
    }));
    EXPECT_TRUE(worker.busy());
    EXPECT_FALSE(worker.post([] {})) << "a second background task is refused while one runs";

    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(worker.run([&] { ranAt = ++order; }, 5000));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);
    EXPECT_EQ(postedAt, 1);
    EXPECT_EQ(ranAt, 2);
    // Slices of about 15 ms: a window repaints several times in 200 ms.
    EXPECT_GE(served, 5);
    EXPECT_FALSE(worker.busy());
}

TEST(BoundedWorker, TheTimeCountsFromTheCallAndAnOverrunningTaskIsReported)
{
    word::BoundedWorker worker;
    ASSERT_TRUE(worker.post([] { std::this_thread::sleep_for(300ms); }));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(worker.run([] {}, 100)) << "the posted task outlasted the call's time";
    EXPECT_LT(std::chrono::steady_clock::now() - start, 250ms);
    EXPECT_TRUE(worker.waitIdle(2000));

    EXPECT_FALSE(worker.run([] { std::this_thread::sleep_for(300ms); }, 50));
    EXPECT_TRUE(worker.waitIdle(2000));
    bool ran = false;
    EXPECT_TRUE(worker.run([&ran] { ran = true; }, 1000));
    EXPECT_TRUE(ran);
}

} // namespace
} // namespace quillan::test
