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

TEST(CloneEventTest, StaysSetUntilResetAndWakesEveryWaiterEarly) {
    ManualResetEvent event(false);
    const auto start = Clock::now();
    EXPECT_FALSE(event.Wait(30ms));
    EXPECT_GE(Clock::now() - start, 30ms) << "an unset event waits out its time";

    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) waiters.emplace_back([&] { woken += event.Wait(10s) ? 1 : 0; });
    std::this_thread::sleep_for(20ms);
    event.Set();
    for (auto& t : waiters) t.join();
    EXPECT_EQ(woken, 3);
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_TRUE(event.Wait(0ms)) << "a wait does not consume the signal";
    event.Reset();
    EXPECT_FALSE(event.IsSet());
}

}  // namespace
}  // namespace orven
