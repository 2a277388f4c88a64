#include "files/RadioArchive.h"

#include "files/FilesTestDir.h"
#include "files/Paths.h"
#include "files/Sha256.h"

#include <fcntl.h>

#include <functional>

namespace orven {
namespace {

using RadioArchiveTest = testing::FilesTestDir;

RadioImage ImageOf(std::uint8_t fill) {
    RadioImage image{};
    image.fill(fill);
    return image;
}

// A record as the program writes it for `image`.
ArchiveRecord Record(const char* time, const char* operation, const char* serial, const RadioImage& image) {
    ArchiveRecord r;
    r.time = time;
    r.operation = operation;
    r.serial = serial;
    r.mmsi = "211234560";
    r.sha256 = CloneRangeSha256(image);
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
    const auto later =
        archive.Store(Record("2026-12-07 10:00:01", "read", "AB/12", ImageOf(2)), ImageOf(2), &settings, error);
    const auto earlier = archive.Store(Record("2026-12-07 10:00:00", "backup", "", ImageOf(1)), ImageOf(1), nullptr, error);
    const auto again = archive.Store(Record("2026-12-07 10:00:01", "read", "AB/12", ImageOf(3)), ImageOf(3), nullptr, error);
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
    EXPECT_FALSE(entries[1].Damaged()) << entries[1].damage;
    RadioImage image{};
    std::string why;
    ASSERT_TRUE(archive.LoadImage(*archive.Find(*again), image, why)) << why;
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
    LogLine line{"2026-12-07 10:00:00", "write", "demo", "S1", "211234560", "", "", "00", "Write OK.", "Verify OK.",
                 "", "", "", false};
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

// Whatever broke an entry (its record gone or garbled, its image gone, cut short or changed), it
// stays listed, marked with the reason, and its bytes are never handed on.
TEST_F(RadioArchiveTest, DamagedEntriesStayListedWithTheirReasonAndTheirBytesAreRefused) {
    const RadioArchive archive(Path("archive"));
    std::string error;
    struct Case {
        const char* serial;
        std::function<void(const std::string& folder)> damage;
        const char* reason;  // the start of the listed reason; empty for a sound entry
    };
    const auto write = [](const std::string& text) {
        return [text](const std::string& folder) { test::WriteText(folder + "/record.json", text); };
    };
    const Case cases[] = {
        {"S0", [](const std::string&) {}, ""},
        {"S1", [](const std::string& f) { std::filesystem::remove(f + "/record.json"); }, "record.json is missing"},
        {"S2", write("{\"time\": \"2026-12-07"), "record.json is not a record"},
        {"S3", write("{\"operation\": \"read\"}\n"), "record.json is not a record"},
        {"S4", [](const std::string& f) { std::filesystem::remove(f + "/image.bin"); }, "image.bin is missing"},
        {"S5", [](const std::string& f) { std::filesystem::resize_file(f + "/image.bin", 100); },
         "image.bin holds 100 bytes, not 8192"},
        {"S6", [](const std::string& f) { std::filesystem::resize_file(f + "/image.bin", 8193); },
         "image.bin holds more than 8192 bytes, not 8192"},
        {"S7",
         [](const std::string& f) {
             std::fstream image(f + "/image.bin", std::ios::in | std::ios::out | std::ios::binary);
             image.seekp(kCloneLast);
             image.put('\x55');
         },
         "image.bin does not match the SHA-256 in its record"},
    };
    for (const Case& c : cases) {
        const auto id = archive.Store(Record("2026-12-07 10:15:30", "backup", c.serial, ImageOf(7)), ImageOf(7),
                                      nullptr, error);
        ASSERT_TRUE(id) << error;
        c.damage(Path("archive/" + *id));
    }
    const std::vector<ArchiveEntry> entries = archive.List();
    ASSERT_EQ(entries.size(), std::size(cases));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ArchiveEntry& entry = entries[i];
        SCOPED_TRACE(entry.id);
        EXPECT_EQ(entry.id.substr(0, 2), cases[i].serial) << "listed in time order, then by id";
        EXPECT_EQ(entry.damage.rfind(cases[i].reason, 0), 0u) << entry.damage;
        EXPECT_EQ(entry.Damaged(), *cases[i].reason != '\0');
        // Without a record the folder's name still tells when and what.
        EXPECT_EQ(entry.record.time, "2026-12-07 10:15:30");
        EXPECT_EQ(entry.record.operation, "backup");
        EXPECT_TRUE(IsEntryOfSerial(entry, cases[i].serial));
        RadioImage image{};
        std::string why;
        EXPECT_EQ(archive.LoadImage(entry, image, why), !entry.Damaged());
        EXPECT_EQ(why.rfind(cases[i].reason, 0), 0u) << why;
    }
    // The image changed after it was listed: loading checks the bytes it hands on, and a mismatch
    // names both hashes.
    ArchiveEntry sound = entries[0];
    test::WriteBytes(sound.folder + "/image.bin", std::vector<std::uint8_t>(kImageSize, 8));
    RadioImage image{};
    std::string why;
    EXPECT_FALSE(archive.LoadImage(sound, image, why));
    EXPECT_NE(why.find("the record says " + CloneRangeSha256(ImageOf(7))), std::string::npos) << why;
    EXPECT_NE(why.find("the image has   " + CloneRangeSha256(ImageOf(8))), std::string::npos) << why;
}

// A write's started line shows only while no outcome of its run follows: then it was cut off,
// and names the backup that undoes it.
TEST_F(RadioArchiveTest, AStartWithoutAnOutcomeReadsAsInterrupted) {
    const RadioArchive archive(Path("archive"));
    std::string error;
    const auto append = [&](const char* operation, const char* result, const char* run, const char* backup) {
        const LogLine line{"2026-12-07 10:00:00", operation, "COM3", "S1", "211234560", "", "", "00", result, "-",
                           run, backup, "", false};
        ASSERT_TRUE(archive.AppendLog(line, error)) << error;
    };
    append("write", kLogStarted, "a", "S1/2026-12-07_100000_backup");
    append("verify", "Verify OK.", "", "");
    append("write", "Write OK.", "a", "S1/2026-12-07_100000_backup");
    append("restore", kLogStarted, "b", "S1/2026-12-07_100100_backup");
    append("write", kLogStarted, "c", "-");
    append("write", "Radio is not detected!", "c", "-");
    const LogRead read = archive.ReadLog();
    ASSERT_EQ(read.lines.size(), 4u);
    EXPECT_EQ(read.lines[0].operation, "verify");
    EXPECT_EQ(read.lines[1].result, "Write OK.");
    EXPECT_FALSE(read.lines[1].interrupted);
    EXPECT_EQ(read.lines[2].operation, "restore");
    EXPECT_TRUE(read.lines[2].interrupted);
    EXPECT_EQ(read.lines[2].backup, "S1/2026-12-07_100100_backup");
    EXPECT_EQ(read.lines[3].result, "Radio is not detected!");
    EXPECT_NE(NewRunMark(), NewRunMark());
}

// Nothing a user names may land in an archive, however the path is spelt; a folder beside it
// whose name merely starts the same is no part of it.
TEST_F(RadioArchiveTest, APathLiesWithinAFolderWhateverItsSpelling) {
    namespace fs = std::filesystem;
    fs::create_directories(Path("data/archive/S1"));
    fs::create_directories(Path("data/archive-old"));
    fs::create_directories(Path("work"));
    fs::create_directory_symlink(Path("data/archive"), Path("work/shortcut"));
    fs::create_symlink(Path("data/archive/programming.log"), Path("work/log-link"));  // dangling: no log yet
    fs::create_symlink("../data/archive/S1/new.dat", Path("work/relative-link"));
    const std::string archive = Path("data/archive");
    for (const std::string& inside :
         {Path("data/archive/programming.log"), Path("data/archive"), Path("work/../data/archive/S1/x.dat"),
          Path("data//archive/./S1/x.dat"), Path("work/shortcut/S1/image.bin"), Path("work/log-link"),
          Path("work/relative-link")})
        EXPECT_TRUE(LiesWithin(inside, archive)) << inside;
    for (const std::string& outside : {Path("data/archive-old/x.dat"), Path("work/x.dat"), Path("data/x.dat"),
                                       Path("data/archive/../x.dat")})
        EXPECT_FALSE(LiesWithin(outside, archive)) << outside;
    // An archive not made yet is protected all the same.
    EXPECT_TRUE(LiesWithin(Path("data/new-archive/x"), Path("data/new-archive")));
    EXPECT_TRUE(LiesWithin(Path("data/new-archive"), Path("data/new-archive")));
}

}  // namespace
}  // namespace orven
