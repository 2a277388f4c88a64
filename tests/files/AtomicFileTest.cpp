#include "files/AtomicFile.h"

#include "files/FilesTestDir.h"
#include "files/Paths.h"

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

TEST_F(AtomicFile, FailedWritesLeaveTheEarlierFile) {
    const std::string target = Path("settings.dat");
    WriteBytes(target, kEarlier.data(), kEarlier.size());
    ExpectFailedSavesKeepTheFile(target, [&] { return WriteFileAtomically(target, kLater); });
}

// A save through a link replaces the file the link points to (relative to the link's folder,
// even when that file is not there yet), and the link stays a link.
TEST_F(AtomicFile, SavesThroughLinksToTheirTarget) {
    ASSERT_EQ(mkdir(Path("real").c_str(), 0700), 0);
    WriteBytes(Path("real/target.dat"), kEarlier.data(), kEarlier.size());
    ASSERT_EQ(chmod(Path("real/target.dat").c_str(), 0604), 0);
    ASSERT_EQ(symlink("real/target.dat", Path("link.dat").c_str()), 0);
    ASSERT_EQ(symlink("link.dat", Path("chain.dat").c_str()), 0);
    ASSERT_EQ(symlink("real/new.dat", Path("dangling.dat").c_str()), 0);

    ASSERT_TRUE(WriteFileAtomically(Path("chain.dat"), kLater));
    ASSERT_TRUE(WriteFileAtomically(Path("dangling.dat"), kEarlier));
    EXPECT_EQ(ReadBytes(Path("real/target.dat")), kLater);
    EXPECT_EQ(ModeOf(Path("real/target.dat")), 0604u);
    EXPECT_EQ(ReadBytes(Path("real/new.dat")), kEarlier);
    struct stat info{};
    for (const char* link : {"link.dat", "chain.dat", "dangling.dat"}) {
        ASSERT_EQ(lstat(Path(link).c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode)) << link;
    }
    EXPECT_TRUE(IsSameFile(Path("chain.dat"), Path("real/target.dat")));
    EXPECT_TRUE(IsSameFile(Path("real/../missing.dat"), Path("missing.dat")));
    EXPECT_FALSE(IsSameFile(Path("real/new.dat"), Path("real/target.dat")));
}

// What this user may not replace is refused, also where only root's file access would allow it: a
// write-protected target in a folder that takes new entries from anyone (where a rename alone would
// replace it), and a save into a folder that takes none, known beforehand.
TEST_F(AtomicFile, RefusesWhatTheUserMayNotReplace) {
    EXPECT_TRUE(CanSaveAtomically(Path("new.dat")));
    EXPECT_FALSE(CanSaveAtomically(Path("missing/new.dat")));
    EXPECT_FALSE(CanSaveAtomically(dir_));
    EXPECT_EQ(Entries(), std::set<std::string>{});

    const std::string target = Path("protected.dat");
    WriteBytes(target, kEarlier.data(), kEarlier.size());
    ASSERT_EQ(chmod(target.c_str(), 0444), 0);
    ASSERT_EQ(chmod(dir_.c_str(), 0777), 0);
    const ChildEnd end = InChild(ChildLimit::NobodyUser, [&] { return !WriteFileAtomically(target, kLater); });
    if (end == ChildEnd::CannotSwitchUser) GTEST_SKIP() << "cannot run without root's file access";
    EXPECT_EQ(end, ChildEnd::Passed);
    EXPECT_EQ(ReadBytes(target), kEarlier);
    ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);
    EXPECT_EQ(InChild(ChildLimit::NobodyUser, [&] { return !CanSaveAtomically(Path("new.dat")); }), ChildEnd::Passed);
}

}  // namespace
}  // namespace orven
