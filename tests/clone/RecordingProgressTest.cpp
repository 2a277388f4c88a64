#include "clone/RecordingProgress.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace orven {
namespace {

using Kind = ProgressCall::Kind;

TEST(RecordingProgressTest, RecordsCallsInOrder) {
    RecordingProgress progress;
    ProgressSink& sink = progress;
    sink.SetRange(0, 76);
    sink.SetStep(1);
    sink.StepIt();
    sink.SetPos(0);

    const std::vector<ProgressCall> expected = {
        {Kind::SetRange, 0, 76}, {Kind::SetStep, 1, 0}, {Kind::StepIt, 0, 0}, {Kind::SetPos, 0, 0}};
    EXPECT_EQ(progress.Calls(), expected);
    EXPECT_EQ(ToString(progress.Calls()[0]), "SetRange(0,76)");

    progress.Clear();
    EXPECT_TRUE(progress.Calls().empty());
}

TEST(RecordingProgressTest, CountsCallsFromSeveralThreads) {
    RecordingProgress progress;
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([&] {
            for (int i = 0; i < 500; ++i) progress.StepIt();
            progress.SetPos(0);
        });
    for (auto& w : workers) w.join();
    EXPECT_EQ(progress.Count(Kind::StepIt), 2000u);
    EXPECT_EQ(progress.Count(Kind::SetPos), 4u);
    EXPECT_EQ(progress.Calls().size(), 2004u);
}

}  // namespace
}  // namespace orven
