#include "files/AtomicFile.h"

#include "files/FilesTestDir.h"

namespace orven {
namespace {

using AtomicFile = testing::FilesTestDir;

const std::vector<std::uint8_t> kEarlier = {'o', 'l', 'd', ' ', 'c', 'o', 'n', 't', 'e', 'n', 't'};
const std::vector<std::uint8_t> kLater(4096, 0x5A);

// A shorter file keeps nothing of the old tail; a replaced file keeps its permissions and a new
// one follows the umask.
TEST_F(AtomicFile, ReplacesWithTheNewBytesOnlyAndKeepsPermissions) {
    const std::string target = Path("settings.dat");
    ASSERT_TRUE(WriteFileAtomically(target, kLater));
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(target, kEarlier));
    EXPECT_EQ(ReadBytes(target), kEarlier);
    EXPECT_EQ(ModeOf(target), 0640u);

    const mode_t previous = umask(027);
    const bool created = WriteFileAtomically(Path("new.dat"), kLater);
    umask(previous);
    ASSERT_TRUE(created);
    EXPECT_EQ(ModeOf(Path("new.dat")), 0640u);  // 0666 under umask 027
    EXPECT_EQ(Entries(), (std::set<std::string>{"new.dat", "settings.dat"}));
    EXPECT_FALSE(WriteFileAtomically(Path("missing/inside.dat"), kLater));
}

// The folder takes new entries from anyone, so a rename alone would replace the target.
TEST_F(AtomicFile, RefusesAWriteProtectedTarget) {
    const std::string target = Path("protected.dat");
    WriteBytes(target, kEarlier.data(), kEarlier.size());
    ASSERT_EQ(chmod(target.c_str(), 0444), 0);
    ASSERT_EQ(chmod(dir_.c_str(), 0777), 0);
    const ChildEnd end = InChild(ChildLimit::NobodyUser, [&] { return !WriteFileAtomically(target, kLater); });
    if (end == ChildEnd::CannotSwitchUser) GTEST_SKIP() << "cannot run without root's file access";
    EXPECT_EQ(end, ChildEnd::Passed);
    EXPECT_EQ(ReadBytes(target), kEarlier);
}

TEST_F(AtomicFile, FailedWritesLeaveTheEarlierFile) {
    const std::string target = Path("settings.dat");
    WriteBytes(target, kEarlier.data(), kEarlier.size());
    ExpectFailedSavesKeepTheFile(target, [&] { return WriteFileAtomically(target, kLater); });
}

}  // namespace
}  // namespace orven
