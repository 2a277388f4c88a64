#include "clone/CloneEvent.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace orven {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(CloneEventTest, StaysSetUntilReset) {
    ManualResetEvent event(false);
    EXPECT_FALSE(event.IsSet());
    event.Set();
    EXPECT_TRUE(event.IsSet());
    EXPECT_TRUE(event.Wait(0ms));
    EXPECT_TRUE(event.Wait(0ms)) << "a wait does not consume the signal";
    event.Reset();
    EXPECT_FALSE(event.IsSet());
    EXPECT_FALSE(event.Wait(0ms));

    const auto start = Clock::now();
    EXPECT_FALSE(event.Wait(30ms));
    EXPECT_GE(Clock::now() - start, 30ms) << "an unset event waits out its time";

    ManualResetEvent signalled(true);
    EXPECT_TRUE(signalled.IsSet());
}

TEST(CloneEventTest, SetFromAnotherThreadWakesEveryWaiterEarly) {
    ManualResetEvent event(false);
    std::atomic<int> woken{0};
    const auto start = Clock::now();
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back([&] {
            if (event.Wait(10s)) ++woken;
        });
    std::this_thread::sleep_for(20ms);
    event.Set();
    for (auto& t : waiters) t.join();
    EXPECT_EQ(woken, 3);
    EXPECT_LT(Clock::now() - start, 5s);
}

}  // namespace
}  // namespace orven
