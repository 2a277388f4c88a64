// A radio archive as one zip: exported and imported whole, unpacked by unzip into the desktop's
// data folder it is the desktop's archive, packed by zip from that folder it imports, and a zip
// with anything else in it changes nothing.
#include "files/ArchiveZip.h"

#include "files/FilesTestDir.h"
#include "files/Paths.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace orven {
namespace {

class ArchiveZipTest : public testing::FilesTestDir {
protected:
    // An archive of two radios: a read, a backup without settings, and a log line.
    void Fill(const RadioArchive& archive) {
        std::string error;
        const auto settings = test::Defaults(kModelEurInt);
        for (int i = 0; i < 3; ++i) {
            RadioImage image{};
            image.fill(static_cast<std::uint8_t>(i + 1));
            ArchiveRecord r;
            r.time = "2026-12-07 10:00:0" + std::to_string(i);
            r.operation = i == 1 ? "backup" : "read";
            r.serial = i == 2 ? "OTHER" : "20261206";
            r.sha256 = CloneRangeSha256(image);
            ASSERT_TRUE(archive.Store(r, image, i == 1 ? nullptr : settings.get(), error)) << error;
        }
        LogLine line;
        line.time = "2026-12-07 10:00:01";
        line.operation = "write";
        line.result = "Write OK.";
        ASSERT_TRUE(archive.AppendLog(line, error)) << error;
    }

    static std::vector<std::string> Ids(const RadioArchive& archive) {
        std::vector<std::string> ids;
        for (const ArchiveEntry& e : archive.List()) ids.push_back(e.id + (e.Damaged() ? " damaged" : ""));
        return ids;
    }

    // Every file under a folder with its bytes.
    static std::map<std::string, std::vector<std::uint8_t>> Tree(const std::string& folder) {
        std::map<std::string, std::vector<std::uint8_t>> files;
        if (!std::filesystem::exists(folder)) return files;
        for (const auto& f : std::filesystem::recursive_directory_iterator(folder))
            if (f.is_regular_file()) files[std::filesystem::relative(f.path(), folder).string()] = ReadBytes(f.path());
        return files;
    }

    std::vector<std::uint8_t> Export(const RadioArchive& archive) { return ExportArchiveZip(archive, {2026, 12, 7}); }
};

TEST_F(ArchiveZipTest, AnExportedArchiveImportsWholeAndOnlyOnce) {
    const RadioArchive from(Path("one/archive")), to(Path("two/archive"));
    Fill(from);
    const ArchiveImport first = ImportArchiveZip(to, Export(from));
    ASSERT_TRUE(first.ok) << first.problem;
    EXPECT_EQ(ArchiveImportText(first), "Imported 3 entries and 1 line of the programming log.");
    EXPECT_EQ(Tree(to.Folder()), Tree(from.Folder())) << "every file as it was";
    EXPECT_EQ(first.added, std::vector<std::string>({"20261206/2026-12-07_100000_read", "20261206/2026-12-07_100001_backup",
                                                     "OTHER/2026-12-07_100002_read"}));

    const ArchiveImport again = ImportArchiveZip(to, Export(from));
    EXPECT_EQ(ArchiveImportText(again), "Imported 0 entries and 0 lines of the programming log. 3 entries were in the "
                                        "archive already.");
    EXPECT_EQ(Tree(to.Folder()), Tree(from.Folder())) << "nothing doubled, the log neither";
}

TEST_F(ArchiveZipTest, UnpackedInTheDataFolderItIsTheDesktopsArchiveAndPackedFromThereItImports) {
    const RadioArchive from(Path("web/archive"));
    Fill(from);
    WriteBytes(Path("export.zip"), Export(from).data(), Export(from).size());
    std::filesystem::create_directory(Path("data"));
    ASSERT_EQ(test::RunProcess("unzip -q ../export.zip", Path("data")).exitCode, 0);
    EXPECT_EQ(Tree(Path("data/archive")), Tree(from.Folder()));

    // Packed from inside the desktop's archive folder (deflated, no top folder) it imports too.
    ASSERT_EQ(test::RunProcess("zip -q -r ../../desktop.zip .", Path("data/archive")).exitCode, 0);
    const RadioArchive to(Path("elsewhere/archive"));
    const ArchiveImport imported = ImportArchiveZip(to, ReadBytes(Path("desktop.zip")));
    ASSERT_TRUE(imported.ok) << imported.problem;
    EXPECT_EQ(Tree(to.Folder()), Tree(from.Folder()));
}

TEST_F(ArchiveZipTest, AZipWithAnythingElseInItChangesNothing) {
    const RadioArchive archive(Path("archive"));
    Fill(archive);
    const auto before = Tree(archive.Folder());
    const std::vector<std::uint8_t> image(kImageSize, 7);
    const struct {
        std::vector<std::string> names;
        const char* problem;
    } cases[] = {
        {{"archive/../../etc/image.bin"}, "it holds archive/../../etc/image.bin, which is no file of a radio archive"},
        {{"/tmp/x/y/image.bin"}, "it holds /tmp/x/y/image.bin, which is no file of a radio archive"},
        {{"a/b/passwd"}, "it holds a/b/passwd, which is no file of a radio archive"},
        {{"a/.incoming-1/image.bin"}, "it holds a/.incoming-1/image.bin, which is no file of a radio archive"},
        {{"a/b/c/image.bin"}, "it holds a/b/c/image.bin, which is no file of a radio archive"},
        {{"a/b/image.bin", "a/b/image.bin"}, "it holds a/b/image.bin, twice"},
        {{"a/b/image.bin", "a/b\x1b[31m/image.bin"}, "it holds a/b\\x1b[31m/image.bin, which is no file of a radio archive"},
    };
    for (const auto& c : cases) {
        std::vector<ZipMember> members = {{"ok/2026-12-07_100000_read/image.bin", image}};
        for (const std::string& name : c.names) members.push_back({name, image});
        const ArchiveImport refused = ImportArchiveZip(archive, WriteZip(members, {}));
        EXPECT_FALSE(refused.ok);
        EXPECT_EQ(ArchiveImportText(refused), std::string("This is no radio archive: ") + c.problem + ". Nothing was imported.");
    }
    const std::vector<std::uint8_t> notZip(100, 'x');
    EXPECT_EQ(ArchiveImportText(ImportArchiveZip(archive, notZip)),
              "This is no radio archive: not a zip file. Nothing was imported.");
    EXPECT_EQ(Tree(archive.Folder()), before);
}

TEST_F(ArchiveZipTest, AnEntryOfTheSameNameButOtherBytesIsAddedBesideAndADamagedOneIsSaidToBe) {
    const RadioArchive from(Path("from/archive")), to(Path("to/archive"));
    Fill(from);
    Fill(to);
    // The same names, other bytes: the images of one archive changed after they were recorded.
    std::vector<ZipMember> members;
    const std::string id = "20261206/2026-12-07_100000_read";
    members.push_back({id + "/image.bin", std::vector<std::uint8_t>(kImageSize, 9)});
    members.push_back({id + "/record.json", ReadBytes(Path("from/archive/" + id + "/record.json"))});
    const ArchiveImport imported = ImportArchiveZip(to, WriteZip(members, {}));
    ASSERT_TRUE(imported.ok) << imported.problem;
    EXPECT_EQ(imported.added, std::vector<std::string>({id + "-2"}));
    EXPECT_EQ(ArchiveImportText(imported), "Imported 1 entry and 0 lines of the programming log. 1 entry added cannot "
                                           "be trusted: listed as damaged, never restored.");
    const std::vector<std::string> ids = Ids(to);
    EXPECT_NE(std::find(ids.begin(), ids.end(), id + "-2 damaged"), ids.end());
    EXPECT_EQ(ReadBytes(Path("to/archive/" + id + "/image.bin")), ReadBytes(Path("from/archive/" + id + "/image.bin")))
        << "the entry there is kept as it was";
}

}  // namespace
}  // namespace orven
