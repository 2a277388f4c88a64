#include "files/StateFile.h"
#include "model/PlatformLogi.h"
#include "model/RadioSettings.h"

#include "files/FilesTestDir.h"

#include <cstring>

namespace orven {
namespace {

using StateFile = testing::FilesTestDir;

AppState Filled(std::uint8_t value) {
    AppState s;
    std::memset(&s, value, sizeof s);
    return s;
}

TEST_F(StateFile, WritesTheWholeRecordAndReadsItBack) {
    AppState s = FreshAppState();
    s.modelType = kModelEurIntUsa;
    s.comPort = 3;
    CopyText(s.filePath, sizeof s.filePath, "/home/user/radio.dat");
    ASSERT_EQ(WriteStateFile(Path("p.Bin"), s), kStateFileOk);

    const auto bytes = ReadBytes(Path("p.Bin"));
    ASSERT_EQ(bytes.size(), 1208u);
    EXPECT_EQ(bytes[4], kModelEurIntUsa);  // modelType at 4
    EXPECT_EQ(bytes[16], 3);               // comPort at 16
    EXPECT_EQ(bytes[20], 1);               // baudIndex at 20
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[580])), "/home/user/radio.dat");

    AppState back = Filled(0x77);
    ASSERT_EQ(ReadStateFile(Path("p.Bin"), back), kStateFileOk);
    EXPECT_EQ(std::memcmp(&back, &s, sizeof s), 0);
}

// A file from an older version fills only the leading bytes; the rest keeps what it held.
TEST_F(StateFile, ShortFileFillsOnlyTheLeadingBytes) {
    const std::uint8_t head[24] = {0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0};
    WriteBytes(Path("short.Bin"), head, sizeof head);
    AppState s = Filled(0x5A);
    ASSERT_EQ(ReadStateFile(Path("short.Bin"), s), kStateFileOk);
    EXPECT_EQ(s.comPort, 7);
    EXPECT_EQ(std::memcmp(&s, head, sizeof head), 0);
    const AppState pattern = Filled(0x5A);
    EXPECT_EQ(std::memcmp(&s.traceLog, &pattern.traceLog, sizeof s - offsetof(AppState, traceLog)), 0);
}

TEST_F(StateFile, FailedSaveKeepsTheEarlierFile) {
    ASSERT_EQ(WriteStateFile(Path("p.Bin"), Filled(0x11)), kStateFileOk);
    ExpectFailedSavesKeepTheFile(Path("p.Bin"),
                                 [&] { return WriteStateFile(Path("p.Bin"), Filled(0x22)) == kStateFileOk; });
}

}  // namespace
}  // namespace orven
