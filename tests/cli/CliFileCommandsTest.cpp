#include "support/TestSupport.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace orven::test {
namespace {

using nlohmann::json;

class CliFileCommands : public ::testing::Test {
protected:
    ProcessResult Cli(const std::string& args) { return RunCli(args, dir.path()); }
    TempDir dir;
};

TEST_F(CliFileCommands, NewWritesTheWizardDocumentAndShowPrintsIt) {
    ProcessResult r = Cli("new eu.dat --model eur-int --country denmark");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto bytes = ReadBytes(dir.File("eu.dat"));
    ASSERT_EQ(bytes.size(), 43816u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[43800]), 11), "Corvantexia");

    r = Cli("show eu.dat");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("EUR (INT) (1)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Bands             INT USA Private\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Private channels  5\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("F1"), std::string::npos);
    EXPECT_NE(r.out.find("L2"), std::string::npos);
    EXPECT_NE(r.out.find("      FISHING   "), std::string::npos);
}

TEST_F(CliFileCommands, JsonRoundTripRebuildsTheSameBytes) {
    ASSERT_EQ(Cli("new a.dat --model eur-int-usa --country all").exitCode, 0);
    ASSERT_EQ(Cli("set a.dat --mmsi 211234560 --nmea 012345 --serial AB123456 --brand Seabird").exitCode, 0);
    ProcessResult shown = Cli("show a.dat --json");
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    const json doc = json::parse(shown.out);
    EXPECT_EQ(doc["modelType"], 2);
    EXPECT_EQ(doc["mmsi"], "211234560");
    EXPECT_EQ(doc["bands"]["CAN"], true);
    EXPECT_EQ(doc["bands"]["WX"], false);
    ASSERT_EQ(doc["privateChannels"].size(), 28u);
    EXPECT_EQ(doc["privateChannels"][0]["label"], "31");
    EXPECT_EQ(doc["privateChannels"][0]["usageName"], "MARINA");

    WriteText(dir.File("a.json"), shown.out);
    ProcessResult built = Cli("from-json a.json b.dat");
    ASSERT_EQ(built.exitCode, 0) << built.err;
    EXPECT_EQ(ReadBytes(dir.File("a.dat")), ReadBytes(dir.File("b.dat")));
}

TEST_F(CliFileCommands, EightBitTextsSurviveTheJsonRoundTrip) {
    ASSERT_EQ(Cli("new a.dat").exitCode, 0);
    auto bytes = ReadBytes(dir.File("a.dat"));
    bytes[43800] = 0xC5;  // an 8-bit letter in the brand name
    bytes[42108] = 0xFF;  // a serial number byte a radio may hold
    WriteBytes(dir.File("a.dat"), bytes);
    ProcessResult shown = Cli("show a.dat --json");
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    const json doc = json::parse(shown.out);  // valid UTF-8
    EXPECT_EQ(doc["brandName"].get<std::string>().substr(0, 2), "\xC3\x85");
    WriteText(dir.File("a.json"), shown.out);
    ASSERT_EQ(Cli("from-json a.json b.dat").exitCode, 0);
    EXPECT_EQ(ReadBytes(dir.File("b.dat")), bytes);

    WriteText(dir.File("c.json"), R"({"brandName": "\u20ac"})");  // beyond 8 bits
    ProcessResult refused = Cli("from-json c.json c.dat");
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("brandName holds a character the radio cannot store"), std::string::npos);
}

TEST_F(CliFileCommands, FromJsonRefusesBadInputAndWritesNothing) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"{ not json", "not valid JSON"},
        {R"([1,2])", "must be a JSON object"},
        {R"({"modelType": 7})", "modelType"},
        {R"({"mmsi": "012345678"})", "mmsi"},
        {R"({"colour": "red"})", "colour is not a known key"},
        {R"({"bands": {"FM": true}})", "bands.FM"},
        {R"({"txStep": "5KHz"})", "txStep"},
        {R"({"brandName": "A very long brand"})", "brandName is longer than 12"},
        {R"({"mmsi": "2112345678"})", "mmsi is longer than 9 characters"},
        {R"({"privateChannels": [{"label": "M1234", "txMHz": 157.85, "rxMHz": 157.85}]})",
         "privateChannels[0].label is longer than 2 characters"},
        {R"({"privateChannels": [{"label": "M1", "txMHz": 175.0, "rxMHz": 157.85}]})", "privateChannels[0].txMHz"},
        {R"({"privateChannels": [{"label": "M1", "txMHz": 157.853, "rxMHz": 157.85}]})", "txMHz"},
        {R"({"privateChannels": [{"label": "M", "txMHz": 157.85, "rxMHz": 157.85}]})", "label"},
        {R"({"privateChannels": [{"label": "M1", "txMHz": 157.85}]})", "needs label, txMHz and rxMHz"},
    };
    for (const auto& [text, expected] : cases) {
        WriteText(dir.File("bad.json"), text);
        ProcessResult r = Cli("from-json bad.json out.dat");
        EXPECT_EQ(r.exitCode, 2) << text;
        EXPECT_EQ(r.err.rfind("bad.json: ", 0), 0u) << text << " -> " << r.err;
        EXPECT_NE(r.err.find(expected), std::string::npos) << text << " -> " << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir.File("out.dat"))) << text;
    }
}

TEST_F(CliFileCommands, SetRefusesInvalidIdentitiesWithTheProgramsMessages) {
    ASSERT_EQ(Cli("new a.dat").exitCode, 0);
    const auto before = ReadBytes(dir.File("a.dat"));

    ProcessResult r = Cli("set a.dat --mmsi 012345678");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "Invalid MMIS ID:012345678\nMake sure 9 digitals.\n");
    r = Cli("set a.dat --atis 12345678");
    EXPECT_EQ(r.err, "Invalid ATIS ID:12345678\nMake sure 9 digitals.\n");
    r = Cli("set a.dat --nmea 12345a");
    EXPECT_EQ(r.err, "Invalid NMEA ID:12345a\nMake sure 6 digitals.\n");
    r = Cli("set a.dat --mmsi 123456789 --serial 123456789");  // one bad value: nothing changes
    EXPECT_EQ(r.err, "Invalid SERIAL ID:123456789\nMake sure 8 digitals.\n");
    EXPECT_EQ(ReadBytes(dir.File("a.dat")), before);

    r = Cli("set a.dat --mmsi 123456789 --mmsi-by-user off --atis-by-user on");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const json doc = json::parse(Cli("show a.dat --json").out);
    EXPECT_EQ(doc["mmsi"], "123456789");
    EXPECT_EQ(doc["mmsiByUser"], false);
    EXPECT_EQ(doc["atisByUser"], true);
}

TEST_F(CliFileCommands, ChecksumOfTheUsaDefaults) {
    ASSERT_EQ(Cli("new a.dat").exitCode, 0);
    // Flags set by the USA defaults: mmsiByUser, bandUSA, bandINT, bandCAN, bandPrivate, bandWX (6),
    // rxStepIndex 1, and the names "Corvantexia" (1156) and "ORVEN" (394): 1557.
    ProcessResult r = Cli("checksum a.dat");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "CheckSum=0x00000615\n");
}

TEST_F(CliFileCommands, ChannelsPrintsTheWindowsListLines) {
    ProcessResult r = Cli("channels INT");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 57);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "01, TX:156.0500  RX:160.6500, CORRESPONDENCE ");

    ASSERT_EQ(Cli("new uk.dat --model eur-int --country uk").exitCode, 0);
    r = Cli("channels Private uk.dat");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, " M1,TX:157.8500  RX:157.8500        MARINA   \n"
                     " M2,TX:161.4250  RX:161.4250        MARINA   \n");

    EXPECT_EQ(Cli("channels Private").exitCode, 2);
    EXPECT_EQ(Cli("channels FM").exitCode, 2);
}

TEST_F(CliFileCommands, ExportAndCompareWriteTheirReports) {
    ASSERT_EQ(Cli("new pc.dat --model eur-int --country finland").exitCode, 0);
    ASSERT_EQ(Cli("new radio.dat --model eur-int --country denmark").exitCode, 0);

    ProcessResult r = Cli("export pc.dat");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, dir.File("FreqTabl.txt") + "\n");
    EXPECT_NE(ReadText(dir.File("FreqTabl.txt")).find("\nL3 ,       LEISUR , 155.6500, 155.6500,   \n"), std::string::npos)
        << ReadText(dir.File("FreqTabl.txt"));
    EXPECT_EQ(Cli("export pc.dat -o sub/none/report.txt").exitCode, 4);

    r = Cli("compare pc.dat pc.dat");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 11), "Verify OK.\n");
    r = Cli("compare pc.dat radio.dat");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(ReadText(dir.File("Verify.txt")).find("Private Band is different"), std::string::npos);
}

TEST_F(CliFileCommands, UsageAndFileErrorsHaveTheirExitCodes) {
    EXPECT_EQ(Cli("").exitCode, 2);
    EXPECT_EQ(Cli("frobnicate").exitCode, 2);
    EXPECT_EQ(Cli("new a.dat --model mars").exitCode, 2);
    ProcessResult r = Cli("show missing.dat");
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "missing.dat: Open File Error.\n");
    WriteText(dir.File("short.dat"), "too short");
    r = Cli("show short.dat");
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "short.dat: Unknown File Format.\n");
    for (const char* cmd : {"new", "show", "from-json", "set", "checksum", "channels", "export", "compare"}) {
        r = Cli(std::string(cmd) + " --help");
        EXPECT_EQ(r.exitCode, 0) << cmd;
        EXPECT_NE(r.out.find("Usage"), std::string::npos) << cmd;
    }
}

TEST_F(CliFileCommands, FileRefusalsNameTheFileAndWriteNothing) {
    ASSERT_EQ(Cli("new a.dat").exitCode, 0);
    const auto record = ReadBytes(dir.File("a.dat"));
    WriteBytes(dir.File("truncated.dat"), std::vector<std::uint8_t>(record.begin(), record.end() - 1));
    auto twice = record;
    twice.insert(twice.end(), record.begin(), record.end());
    WriteBytes(dir.File("oversized.dat"), twice);
    WriteText(dir.File("empty.json"), "{}");
    WriteText(dir.File("huge.json"), std::string(5 << 20, ' ') + "{}");
    ASSERT_TRUE(std::filesystem::create_directory(dir.File("folder")));

    // Every file's name and bytes: a refusal must leave all of them as they were.
    const auto snapshot = [&] {
        std::map<std::string, std::vector<std::uint8_t>> files;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path()))
            files[e.path().string()] = e.is_regular_file() ? ReadBytes(e.path().string()) : std::vector<std::uint8_t>{};
        return files;
    };
    const auto before = snapshot();

    const struct {
        const char* args;
        int exitCode;
        const char* err;
    } cases[] = {
        {"show folder", 4, "folder: Open File Error.\n"},
        {"new folder", 4, "folder: Write to File Error.\n"},
        {"from-json empty.json folder", 4, "folder: Write to File Error.\n"},
        {"from-json folder out.dat", 4, "folder: is a folder, not a JSON document\n"},
        {"from-json nowhere.json out.dat", 4, "nowhere.json: cannot be opened\n"},
        {"from-json huge.json out.dat", 4, "huge.json: too large for a settings document\n"},
        {"set missing.dat --brand X", 4, "missing.dat: Open File Error.\n"},
        {"set truncated.dat --brand X", 4, "truncated.dat: Unknown File Format.\n"},
        {"set oversized.dat --brand X", 4, "oversized.dat: Unknown File Format.\n"},
        {"set a.dat --mmsi 2112345678", 2, "Invalid MMIS ID:2112345678\nMake sure 9 digitals.\n"},
        {"set a.dat --brand ABCDEFGHIJKLM", 2, "Brand name is longer than 12 characters.\n"},
        {"set a.dat --model-name ABCDEFGHIJKLM", 2, "Model name is longer than 12 characters.\n"},
    };
    for (const auto& c : cases) {
        const ProcessResult r = Cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
        EXPECT_EQ(snapshot(), before) << c.args;
    }
}

}  // namespace
}  // namespace orven::test
