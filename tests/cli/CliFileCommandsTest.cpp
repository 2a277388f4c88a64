#include "GlobalDef.h"
#include "support/TestSupport.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <regex>

namespace orven::test {
namespace {

using nlohmann::json;

class CliFileCommands : public ::testing::Test {
protected:
    ProcessResult Cli(const std::string& args) { return RunCli(args, dir.path()); }
    TempDir dir;
};

// set changes what it is given. 8-bit texts come out as UTF-8 and go back as the same bytes; a
// wider character is refused. Frequencies come out in the five decimals the program works in, without the binary tails the
// wizard's arithmetic leaves, and the rebuilt document compares equal to the original.
TEST_F(CliFileCommands, JsonRoundTripRebuildsTheDocument) {
    ASSERT_EQ(Cli("new a.dat --model eur-int-usa --country all").exitCode, 0);
    const std::string set = "set a.dat --mmsi 211234560 --nmea 012345 --serial AB123456 --mmsi-by-user off";
    ASSERT_EQ(Cli(set + " --atis-by-user on").exitCode, 0);
    auto bytes = ReadBytes(dir.File("a.dat"));
    bytes[43800] = 0xC5;  // an 8-bit letter in the brand name
    bytes[42108] = 0xFF;  // a serial number byte a radio may hold
    WriteBytes(dir.File("a.dat"), bytes);
    const ProcessResult shown = Cli("show a.dat --json");
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    const json doc = json::parse(shown.out);
    EXPECT_EQ(doc["mmsi"], "211234560");
    EXPECT_EQ(doc["mmsiByUser"], false);
    EXPECT_EQ(doc["atisByUser"], true);
    EXPECT_EQ(doc["brandName"].get<std::string>().substr(0, 2), "\xC3\x85");
    ASSERT_EQ(doc["privateChannels"].size(), 28u);
    EXPECT_EQ(doc["privateChannels"][0]["usageName"], "MARINA");
    EXPECT_FALSE(std::regex_search(shown.out, std::regex(R"(MHz": \d+\.\d{6})"))) << shown.out;

    // The private channels through a spreadsheet and back: the same bytes.
    ASSERT_EQ(Cli("channels-export a.dat -o a.csv --semicolon").exitCode, 0);
    const ProcessResult imported = Cli("channels-import a.dat a.csv");
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(imported.out, "Imported 28 channel(s) into a.dat\n");
    EXPECT_EQ(ReadBytes(dir.File("a.dat")), bytes);

    // A file's 8-bit bytes are shown, but only printable ASCII goes into a settings file.
    WriteText(dir.File("a.json"), shown.out);
    ProcessResult rebuilt = Cli("from-json a.json -");
    EXPECT_EQ(rebuilt.exitCode, 2);
    EXPECT_NE(rebuilt.err.find("serial holds \"\xC3\xBF\" at position 1"), std::string::npos) << rebuilt.err;
    bytes[42108] = 'A';
    bytes[43800] = 'C';
    WriteBytes(dir.File("a.dat"), bytes);
    const std::string plain = Cli("show a.dat --json").out;
    WriteText(dir.File("a.json"), plain);
    rebuilt = Cli("from-json a.json -");
    ASSERT_EQ(rebuilt.exitCode, 0) << rebuilt.err;
    ASSERT_EQ(rebuilt.out.size(), bytes.size());
    WriteText(dir.File("b.dat"), rebuilt.out);
    EXPECT_EQ(Cli("show b.dat --json").out, plain);
    EXPECT_EQ(Cli("compare a.dat b.dat --report -").exitCode, 0);

    WriteText(dir.File("c.json"), R"({"brandName": "Br\u00fcnn"})");
    const ProcessResult refused = Cli("from-json c.json c.dat");
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("brandName holds \"\u00fc\" at position 3"), std::string::npos) << refused.err;
}

// The reports themselves are the file tests' concern; here their output, where they go and exit
// codes. Success lines go to stderr while stdout carries a report, and --quiet drops them.
TEST_F(CliFileCommands, ReportCommandsPrintAndWriteTheirReports) {
    ASSERT_EQ(Cli("new pc.dat --model eur-int --country finland").exitCode, 0);
    ASSERT_EQ(Cli("new radio.dat --model EUR-INT --country Denmark").exitCode, 0);
    ASSERT_EQ(Cli("new usa.dat -q").exitCode, 0);
    // outStart: out is how stdout starts, not all of it.
    const struct { const char* args; int exitCode; std::string out; bool outStart; std::string err; } cases[] = {
        {"--version", 0, std::string("orven-cli ") + kPackageVersion + "\n", false, ""},
        {"checksum usa.dat", 0, "CheckSum=0x00000615\n", false, ""},
        {"channels int", 0, "01, TX:156.0500  RX:160.6500, CORRESPONDENCE \n", true, ""},
        {"new - --model eur-int", 0, std::string(8, '\0'), true, "Created - with 0 private channels\n"},
        {"export pc.dat -o -", 0, "Date:", true, ""},
        {"compare pc.dat pc.dat --report equal.txt", 0, "Verify OK.\nequal.txt\n", false, ""},
        {"compare pc.dat radio.dat --report - -q", 1, "Date:", true, "Verify Error.\n"},
        {"-q set usa.dat --brand X", 0, "", false, ""},
    };
    for (const auto& c : cases) {
        const ProcessResult r = Cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args;
        EXPECT_EQ(c.outStart ? r.out.substr(0, c.out.size()) : r.out, c.out) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
    }
    const std::string shown = Cli("show radio.dat").out;
    EXPECT_NE(shown.find("EUR (INT) (1)"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Private channels  5\n"), std::string::npos) << shown;
    EXPECT_TRUE(std::filesystem::exists(dir.File("equal.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("Verify.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("FreqTabl.txt")));

    EXPECT_EQ(Cli("export pc.dat").out, dir.File("FreqTabl.txt") + "\n");
    EXPECT_EQ(Cli("export pc.dat -o sub/none/report.txt").exitCode, 4);
    EXPECT_EQ(Cli("compare pc.dat radio.dat").exitCode, 1);
    EXPECT_NE(ReadText(dir.File("Verify.txt")).find("Private Band is different"), std::string::npos);
}

TEST_F(CliFileCommands, RefusalsHaveTheirExitCodesAndWriteNothing) {
    ASSERT_EQ(Cli("new a.dat").exitCode, 0);
    auto record = ReadBytes(dir.File("a.dat"));
    WriteBytes(dir.File("truncated.dat"), std::vector<std::uint8_t>(record.begin(), record.end() - 1));
    // A file edited by another tool: an MMSI the program would never accept, entry by user off.
    std::copy_n("01234", 5, record.begin() + 41988);
    record[52] = 0;
    WriteBytes(dir.File("mmsi.dat"), record);
    WriteText(dir.File("empty.json"), "{}");
    WriteText(dir.File("huge.json"), std::string(5 << 20, ' ') + "{}");
    ASSERT_TRUE(std::filesystem::create_directory(dir.File("folder")));
    WriteText(dir.File("bad.csv"), "Label,TX MHz,RX MHz\nZ9,157.85,157.85\n");
    const char* badJson[] = {
        "{ not json", R"({"colour": "red"})", R"({"mmsi": "2112345678"})",
        R"({"privateChannels": [{"label": "M1", "txMHz": 157.853, "rxMHz": 157.85}]})",
        R"({"privateChannels": [{"label": "M1", "txMHz": 157.85}]})"};
    for (std::size_t i = 0; i < std::size(badJson); ++i)
        WriteText(dir.File("bad" + std::to_string(i) + ".json"), badJson[i]);

    WriteText(dir.File("empty.csv"), "Label,TX MHz,RX MHz\r\n\r\n");
    WriteText(dir.File("escape.json"), R"({"\u001b[2J": 1})");
    // The radio archive, with a link into it from the working folder: no output may land there.
    const std::string entry = std::string(kArchiveFolder) + "/S1/2026-12-07_101530_read";
    std::filesystem::create_directories(dir.File(entry));
    std::filesystem::copy_file(dir.File("a.dat"), dir.File(entry + "/settings.dat"));
    WriteText(dir.File(std::string(kArchiveFolder) + "/programming.log"), "{}\n");
    std::filesystem::create_symlink(std::string(kArchiveFolder) + "/programming.log", dir.File("log-link"));
    std::filesystem::create_symlink(entry + "/image.bin", dir.File("z.bin"));  // dangling: a read would make it
    std::filesystem::create_symlink(entry + "/CommLogo.bin", dir.File("CommLogo.bin"));
    std::filesystem::create_hard_link(dir.File(entry + "/settings.dat"), dir.File("hard.dat"));
    std::filesystem::create_hard_link(dir.File(std::string(kArchiveFolder) + "/programming.log"), dir.File("ReadRom.bin"));
    const std::string inArchive = std::string(" lies in the radio archive ") + dir.File(".data/orven-clone/");
    // Every file's name and bytes: a refusal must leave all of them as they were.
    const auto snapshot = [&] {
        std::map<std::string, std::vector<std::uint8_t>> files;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path()))
            files[e.path().string()] = e.is_regular_file() ? ReadBytes(e.path().string()) : std::vector<std::uint8_t>{};
        return files;
    };
    const auto before = snapshot();
    // err: how the message starts.
    const struct { const char* args; int exitCode; const char* err; } cases[] = {
        {"", 2, "A subcommand is required\n"},
        {"shw a.dat", 2, "unknown command 'shw' (did you mean 'show'?)\n"},
        {"show a.dat \"$(printf '\\033[31m')\"", 2, "show does not take \\x1b[31m (see orven-cli show --help)\n"},
        {"channels INT nosuch.dat", 2, "Only the Private band is read from a settings FILE"},
        {"channels Private", 2, "The Private band needs a settings FILE\n"},
        {"show a.dat -p demo", 2, "show does not take -p demo"},
        {"-p demo show a.dat", 2, "show does not take --port"},
        {"new b.dat --model usa --country uk", 2, "The USA model has no country presets"},
        {"set a.dat", 2, "Nothing to set"},
        {"new b.dat --model mars", 2, "--model: "},
        {"show missing.dat", 4, "missing.dat: Open File Error.\n(no such file)\n"},
        {"checksum folder", 4, "folder: Open File Error.\n(a folder, not a file)\n"},
        {"new folder", 4, "folder: Write to File Error.\n"},
        {"from-json empty.json folder", 4, "folder: Write to File Error.\n"},
        {"from-json folder out.dat", 4, "folder: is a folder, not a JSON document\n"},
        {"from-json huge.json out.dat", 4, "huge.json: too large for a settings document\n"},
        {"set truncated.dat --brand X", 4, "truncated.dat: Unknown File Format.\n"},
        {"from-json bad0.json out.dat", 2, "bad0.json: not valid JSON\n"},
        {"from-json bad1.json out.dat", 2, "bad1.json: colour is not a known key\n"},
        {"from-json bad2.json out.dat", 2, "bad2.json: mmsi is longer than 9 characters\n"},
        {"from-json bad3.json out.dat", 2, "bad3.json: privateChannels[0].txMHz must be 0 (receive only)"},
        {"from-json bad4.json out.dat", 2, "bad4.json: privateChannels[0]. needs label, txMHz and rxMHz\n"},
        {"from-json escape.json out.dat", 2, "escape.json: \\x1b[2J is not a known key\n"},
        {"set a.dat --mmsi 123456789 --serial 123456789", 2, "Invalid SERIAL ID:123456789\nMake sure 8 digitals.\n"},
        {"set a.dat --nmea 12345a", 2, "Invalid NMEA ID:12345a\nMake sure 6 digitals.\n\"a\" at position 6 is not"},
        {"set a.dat --brand ABCDEFGHIJKLM", 2, "Brand name is longer than 12 characters.\n"},
        {"set a.dat --brand \xC3\x9Cn", 2, "Brand name holds \"\xC3\x9C\" at position 1"},
        {"set a.dat --serial 'a\tb'", 2, "Serial number holds the control character U+0009 at position 2"},
        {"export a.dat -o ./a.dat", 2, "./a.dat: is the same file as the input a.dat; choose another output.\n"},
        {"from-json a.dat a.dat", 2, "a.dat: is the same file as the input a.dat"},
        {"compare a.dat a.dat --report a.dat", 2, "a.dat: is the same file as the input a.dat"},
        {"-p demo read nosuch/x.dat", 4, "nosuch/x.dat: cannot be written here"},
        {"--port demo write mmsi.dat", 2, "Invalid MMIS ID:01234\nMake sure 9 digitals.\n"},
        {"channels-import a.dat empty.csv", 2,
         "empty.csv: holds no channel rows; taking it would leave no private channel\nGive --allow-empty"},
        {"--port LPT1 handshake", 2, "Unknown port: LPT1 (use USB, COM1 to COM257, a device path, or demo)\n"},
        {"--baud 1234 handshake", 2, "--baud: '1234' is not one of 4800|9600|"},
        {"handshake -b ''", 2, "--baud: '' is not one of"},
        {"simulate --faults explode", 2, "unknown fault: explode\n"},
        {"--port COM40 handshake", 3, "Open Comp Port Error. (COM40: no device stands for it)\n"},
        {"channels-import a.dat bad.csv", 2, "bad.csv: line 2, column 1 (Label): must be two characters"},
        {"channels-import a.dat a.dat", 2, "a.dat: is the same file as the input a.dat"},
        {"channels-export a.dat -o ./a.dat", 2, "./a.dat: is the same file as the input a.dat"},
    };
    // Whatever the spelling, and before anything is read from a radio.
    const std::string log = std::string(kArchiveFolder) + "/programming.log";
    const std::string archiveCases[] = {
        "new " + entry + "/x.dat",
        "-p demo read " + log,
        "-p demo read log-link",
        "-p demo read z.dat",  // the radio's bytes would go to z.bin when the settings cannot be a file
        "-p demo read y.dat --trace",
        "set " + entry + "/settings.dat --brand X",
        "channels-import " + entry + "/settings.dat bad.csv",
        "export a.dat -o folder/../.data/orven-clone/./archive/FreqTabl.txt",
        "channels-export a.dat -o " + dir.File(entry + "/../x.csv"),
        "compare a.dat a.dat --report " + log,
        "from-json empty.json " + entry + "/settings.dat",
        "-p demo write a.dat --backup .data/orven-clone/demo-archive/b.dat",
        "-p demo verify a.dat --report log-link",
        "set hard.dat --brand X",  // a hard link reaches the archive's bytes by no path at all
        "-p demo read y.dat --dump",
    };
    for (const auto& c : cases) {
        const ProcessResult r = Cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args;
        EXPECT_EQ(r.err.substr(0, std::strlen(c.err)), c.err) << c.args;
        EXPECT_EQ(snapshot(), before) << c.args;
    }
    for (const std::string& args : archiveCases) {
        const ProcessResult r = Cli(args);
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_NE(r.err.find(inArchive), std::string::npos) << args << "\n" << r.err;
        EXPECT_NE(r.err.find("archive, which only this program writes; choose another place.\n"), std::string::npos);
        EXPECT_EQ(snapshot(), before) << args;
    }
    // A folder beside the archive is no part of it.
    std::filesystem::create_directories(dir.File(".data/orven-clone/archive-old"));
    EXPECT_EQ(Cli("new .data/orven-clone/archive-old/x.dat").exitCode, 0);
    // Output that cannot be written is a failure, not a truncated success.
    const ProcessResult full =
        RunProcess("('" + std::string(ORVEN_CLI_PATH) + "' show a.dat --json > /dev/full)", dir.path());
    EXPECT_EQ(full.exitCode, 4);
    EXPECT_NE(full.err.find("standard output"), std::string::npos) << full.err;
    // A command's help names the options given before it too, and choices as a person reads them.
    const ProcessResult help = Cli("read --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--model-type 0|1|2"), std::string::npos) << help.out;
    EXPECT_NE(Cli("new --help").out.find("--country all|uk|denmark|finland|norway|sweden|holland|belgium|none\n"),
              std::string::npos);
}

}  // namespace
}  // namespace orven::test
