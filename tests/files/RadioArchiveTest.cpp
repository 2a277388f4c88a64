#include "files/RadioArchive.h"

#include "files/FilesTestDir.h"
#include "files/Sha256.h"

#include <fcntl.h>

namespace orven {
namespace {

using RadioArchiveTest = testing::FilesTestDir;

RadioImage ImageOf(std::uint8_t fill) {
    RadioImage image{};
    image.fill(fill);
    return image;
}

ArchiveRecord Record(const char* time, const char* operation, const char* serial) {
    ArchiveRecord r;
    r.time = time;
    r.operation = operation;
    r.serial = serial;
    r.mmsi = "211234560";
    return r;
}

TEST(Sha256Test, KnownDigests) {
    const std::string abc = "abc";
    EXPECT_EQ(Sha256Hex({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex(std::span(reinterpret_cast<const std::uint8_t*>(abc.data()), abc.size())),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const std::string twoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    EXPECT_EQ(Sha256Hex(std::span(reinterpret_cast<const std::uint8_t*>(twoBlocks.data()), twoBlocks.size())),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(FlatJsonTest, AnyBytesSurviveAndAnythingElseIsNoRecord) {
    const std::string odd = std::string("q\"uo\\te\n\t\x01\xFF", 11);
    const auto back = ParseFlatJson(FlatJsonLine({{"a", odd}, {"b", ""}}));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->at("a"), odd);
    EXPECT_EQ(back->at("b"), "");
    for (const char* bad : {"", "{", "{\"a\": \"b\"", "{\"a\": 1}", "{\"a\": \"b\"} x", "[\"a\"]", "{\"a\" \"b\"}"})
        EXPECT_FALSE(ParseFlatJson(bad)) << bad;
}

TEST_F(RadioArchiveTest, EntriesAreKeptWholeAndListedOldestFirst) {
    const RadioArchive archive(Path("archive"));
    std::string error;
    RadioSettings settings{};
    LoadDefaults(settings, kModelEurInt);
    const auto later = archive.Store(Record("2026-12-07 10:00:01", "read", "AB/12"), ImageOf(2), &settings, error);
    const auto earlier = archive.Store(Record("2026-12-07 10:00:00", "backup", ""), ImageOf(1), nullptr, error);
    const auto again = archive.Store(Record("2026-12-07 10:00:01", "read", "AB/12"), ImageOf(3), nullptr, error);
    ASSERT_TRUE(later && earlier && again) << error;
    EXPECT_EQ(*later, "AB_12/2026-12-07_100001_read");
    EXPECT_EQ(*earlier, "no-serial/2026-12-07_100000_backup");
    EXPECT_EQ(*again, "AB_12/2026-12-07_100001_read-2");

    const std::vector<ArchiveEntry> entries = archive.List();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].id, *earlier);
    EXPECT_EQ(entries[2].id, *again);
    EXPECT_EQ(entries[1].record.serial, "AB/12");
    EXPECT_EQ(entries[1].record.mmsi, "211234560");
    RadioImage image{};
    ASSERT_TRUE(archive.LoadImage(*archive.Find(*again), image));
    EXPECT_EQ(image, ImageOf(3));
    EXPECT_EQ(ReadBytes(Path("archive/" + *later + "/settings.dat")).size(), sizeof(RadioSettings));
    EXPECT_FALSE(std::filesystem::exists(Path("archive/" + *earlier + "/settings.dat")));
    EXPECT_FALSE(archive.Find("no-serial/nothing"));

    // An entry half stored (a crash before its folder was renamed into place) is no entry.
    ASSERT_TRUE(std::filesystem::create_directory(Path("archive/AB_12/.incoming-x")));
    EXPECT_EQ(archive.List().size(), 3u);
}

// One damaged line, even one cut short without its line end, never hides the others, and the
// log is only ever added to.
TEST_F(RadioArchiveTest, TheLogReadsPastDamageAndIsOnlyAppended) {
    const RadioArchive archive(Path("archive"));
    std::string error;
    LogLine line{"2026-12-07 10:00:00", "write", "demo", "S1", "211234560", "", "", "00", "Write OK.", "Verify OK."};
    ASSERT_TRUE(archive.AppendLog(line, error)) << error;
    const std::string log = Path("archive/programming.log");
    {
        std::ofstream out(log, std::ios::app | std::ios::binary);
        out << "garbage\n{\"operation\": \"verify\", \"time\": \"cut";
    }
    const auto before = ReadBytes(log);
    line.operation = "restore";
    ASSERT_TRUE(archive.AppendLog(line, error)) << error;
    const auto after = ReadBytes(log);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin())) << "earlier lines kept as they were";

    const LogRead read = archive.ReadLog();
    ASSERT_EQ(read.lines.size(), 2u);
    EXPECT_EQ(read.lines[0].operation, "write");
    EXPECT_EQ(read.lines[0].readBack, "Verify OK.");
    EXPECT_EQ(read.lines[1].operation, "restore");
    EXPECT_EQ(read.damaged, 2u);
}

}  // namespace
}  // namespace orven
