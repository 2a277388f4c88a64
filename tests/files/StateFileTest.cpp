#include "files/StateFile.h"

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

// Where each field lies the record's static_asserts pin; here every byte goes out and comes back,
// and a save that fails keeps the file that was there.
TEST_F(StateFile, TheWholeRecordGoesOutAndBackAndAFailedSaveKeepsIt) {
    const AppState s = Filled(0x11);
    ASSERT_EQ(WriteStateFile(Path("p.Bin"), s), kStateFileOk);
    AppState back = Filled(0x77);
    ASSERT_EQ(ReadStateFile(Path("p.Bin"), back), kStateFileOk);
    EXPECT_EQ(std::memcmp(&back, &s, sizeof s), 0);
    ExpectFailedSavesKeepTheFile(Path("p.Bin"),
                                 [&] { return WriteStateFile(Path("p.Bin"), Filled(0x22)) == kStateFileOk; });
}

// A file from an older version fills only the leading bytes; the rest keeps what it held.
TEST_F(StateFile, ShortFileFillsOnlyTheLeadingBytes) {
    const std::uint8_t head[24] = {0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0};
    WriteBytes(Path("short.Bin"), head, sizeof head);
    AppState s = Filled(0x5A);
    ASSERT_EQ(ReadStateFile(Path("short.Bin"), s), kStateFileOk);
    EXPECT_EQ(std::memcmp(&s, head, sizeof head), 0);
    const AppState pattern = Filled(0x5A);
    EXPECT_EQ(std::memcmp(&s.traceLog, &pattern.traceLog, sizeof s - offsetof(AppState, traceLog)), 0);
}

}  // namespace
}  // namespace orven
