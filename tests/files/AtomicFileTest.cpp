#include "files/AtomicFile.h"
#include "files/Paths.h"

#include "files/FilesTestDir.h"

namespace orven {
namespace {

using AtomicFile = testing::FilesTestDir;

const std::vector<std::uint8_t> kEarlier = {'o', 'l', 'd', ' ', 'c', 'o', 'n', 't', 'e', 'n', 't'};
const std::vector<std::uint8_t> kLater(4096, 0x5A);

TEST_F(AtomicFile, CreatesAndReplacesWithTheNewBytesOnly) {
    const std::string target = Path("settings.dat");
    ASSERT_TRUE(WriteFileAtomically(target, kLater));
    EXPECT_EQ(ReadBytes(target), kLater);
    ASSERT_TRUE(WriteFileAtomically(target, kEarlier));  // shorter: nothing of the old tail stays
    EXPECT_EQ(ReadBytes(target), kEarlier);
    ASSERT_TRUE(WriteFileAtomically(target, std::string_view("text\n")));
    EXPECT_EQ(ReadBytes(target), (std::vector<std::uint8_t>{'t', 'e', 'x', 't', '\n'}));
    EXPECT_EQ(Entries(), std::set<std::string>{"settings.dat"});
}

TEST_F(AtomicFile, ReplacedFileKeepsItsPermissionsAndANewOneFollowsTheUmask) {
    const std::string kept = Path("kept.dat");
    WriteBytes(kept, kEarlier.data(), kEarlier.size());
    ASSERT_EQ(chmod(kept.c_str(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(kept, kLater));
    EXPECT_EQ(ModeOf(kept), 0640u);

    const mode_t previous = umask(027);
    const bool created = WriteFileAtomically(Path("new.dat"), kLater);
    umask(previous);
    ASSERT_TRUE(created);
    EXPECT_EQ(ModeOf(Path("new.dat")), 0640u);  // 0666 under umask 027
}

TEST_F(AtomicFile, FailedWritesLeaveTheEarlierFile) {
    const std::string target = Path("settings.dat");
    WriteBytes(target, kEarlier.data(), kEarlier.size());
    ExpectFailedSavesKeepTheFile(target, [&] { return WriteFileAtomically(target, kLater); });
}

TEST_F(AtomicFile, RefusesProtectedTargetsAndFolders) {
    const std::string target = Path("protected.dat");
    WriteBytes(target, kEarlier.data(), kEarlier.size());
    ASSERT_EQ(chmod(target.c_str(), 0444), 0);
    // The folder takes new entries from anyone, so a rename alone would replace the target.
    ASSERT_EQ(chmod(dir_.c_str(), 0777), 0);
    const auto refused = WithPermissionsEnforced([&] { return !WriteFileAtomically(target, kLater); });
    if (!refused) GTEST_SKIP() << "cannot run without root's file access";
    EXPECT_TRUE(*refused);
    EXPECT_EQ(ReadBytes(target), kEarlier);

    const std::string folder = Path("folder");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    EXPECT_FALSE(WriteFileAtomically(folder, kLater));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(Entries(), (std::set<std::string>{"folder", "protected.dat"}));
}

TEST_F(AtomicFile, FailsWhereNoFileCanBeCreated) {
    // A parent that is a regular file stops even root.
    WriteBytes(Path("plain"), kEarlier.data(), kEarlier.size());
    EXPECT_FALSE(WriteFileAtomically(Path("plain/inside.dat"), kLater));
    EXPECT_FALSE(WriteFileAtomically(Path("missing/inside.dat"), kLater));

    // A folder that takes no new entries (an existing target there is the failed-save case).
    ASSERT_EQ(chmod(dir_.c_str(), 0555), 0);
    const auto refused = WithPermissionsEnforced([&] { return !WriteFileAtomically(Path("new.dat"), kLater); });
    if (!refused) GTEST_SKIP() << "cannot run without root's file access";
    EXPECT_TRUE(*refused);
    EXPECT_EQ(Entries(), std::set<std::string>{"plain"});
}

TEST(Paths, JoinUsesOneSeparator) {
    EXPECT_EQ(JoinPath("/home/user/work", "Verify.txt"), "/home/user/work/Verify.txt");
    EXPECT_EQ(JoinPath("/home/user/work/", kFreqReportFileName), "/home/user/work/FreqTabl.txt");
    EXPECT_EQ(JoinPath("/", "x"), "/x");
    EXPECT_EQ(JoinPath("", "x"), "x");
    EXPECT_EQ(CurrentDirectory(), std::filesystem::current_path().string());
}

}  // namespace
}  // namespace orven
