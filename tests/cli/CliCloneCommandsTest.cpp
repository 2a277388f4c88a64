#include "files/Sha256.h"
#include "model/RadioSettings.h"
#include "link/LinkTestSupport.h"
#include "model/ImageCodec.h"
#include "model/RadioIdentities.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedRadioPty.h"
#include "support/TestSupport.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <csignal>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <regex>

namespace orven::test {
namespace {

// A folder with a.dat (a European document with every country's channels) and the simulated radio,
// with the demo radio's memory, on a pseudo-terminal.
class CliCloneCommands : public ::testing::Test {
protected:
    void SetUp() override {
        radio.WithRadio([](SimulatedRadio& sim) { FillDemoMemory(sim.Memory()); });
        ASSERT_TRUE(radio.Start());
        ASSERT_EQ(Cli("new a.dat --model eur-int --country all").exitCode, 0);
    }
    ProcessResult Cli(const std::string& args) { return RunCli(args, dir.path()); }
    // The simulated radio's port with the fast transfer.
    std::string Port() const { return "-p " + radio.DevicePath() + " --fast "; }
    // A write without a backup of a.dat (which programs no identity): what the radio holds is not
    // known, so each identity's removal is confirmed.
    static constexpr const char* kNoBackupOfA =
        " --no-backup --confirm-mmsi none --confirm-atis none --confirm-nmea none --confirm-serial none";
    template <class F>
    auto OnRadio(F&& f) { return radio.WithRadio(std::forward<F>(f)); }
    // The radio's identity bytes, present flags and all.
    std::vector<std::uint8_t> IdentityBytesOfRadio() {
        const RadioImage m = OnRadio([](SimulatedRadio& sim) { return sim.Memory(); });
        return {m.begin() + kIdentityBytesFirst, m.begin() + kIdentityBytesLast + 1};
    }
    RadioIdentities IdentitiesOfRadio() {
        return IdentitiesInImage(OnRadio([](SimulatedRadio& sim) { return sim.Memory(); }));
    }
    std::vector<std::uint8_t> CloneRangeOfRadio() {
        const RadioImage m = OnRadio([](SimulatedRadio& sim) { return sim.Memory(); });
        return {m.begin() + kCloneFirst, m.begin() + kCloneLast + 1};
    }
    // The letters of the frames the radio received since the last call: "AWWR".
    std::string Letters() {
        return OnRadio([](SimulatedRadio& sim) {
            std::string letters;
            for (const CloneFrame& f : sim.Log()) letters += static_cast<char>(f.letter);
            sim.ClearHistory();
            return letters;
        });
    }

    TempDir dir;
    SimulatedRadioPty radio;
};

// Trace and dump files that cannot be written are told of; the transfer's result stands.
TEST_F(CliCloneCommands, DemoRadioReadsAndVerifiesAFile) {
    std::filesystem::create_directory(dir.File("CommLogo.bin"));
    std::filesystem::create_directory(dir.File("ReadRom.bin"));
    ProcessResult r = Cli("--port demo read x.dat --trace --dump");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char* name : {"CommLogo.bin", "ReadRom.bin"})
        EXPECT_NE(r.err.find("warning: " + dir.File(name) + " could not be written"), std::string::npos) << r.err;
    EXPECT_TRUE(std::regex_match(r.out, std::regex("Read OK.\nKept in the radio archive as 20261206/[-0-9_]+_read\n")))
        << r.out;
    EXPECT_EQ(std::filesystem::file_size(dir.File("x.dat")), 43816u);
    // The entry is the radio's exact bytes and the same settings file, kept in the demo radio's
    // archive: the real one never lists it.
    const std::string id = r.out.substr(r.out.find(" as ") + 4, 36);
    const std::string entry = dir.File(std::string(kDemoArchiveFolder) + "/" + id);
    EXPECT_EQ(ReadBytes(entry.substr(0, entry.find('\n')) + "/settings.dat"), ReadBytes(dir.File("x.dat")));
    EXPECT_FALSE(std::filesystem::exists(dir.File(kArchiveFolder)));
    EXPECT_EQ(Cli("archive list").out, "");
    EXPECT_EQ(Cli("archive list --demo").out.rfind(id.substr(0, id.find('\n')) + " ", 0), 0u);

    EXPECT_EQ(nlohmann::json::parse(Cli("show x.dat --json").out)["mmsi"], "211234560");

    r = Cli("--port demo verify x.dat");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Verify OK.\n" + dir.File("Verify.txt") + "\n");
    // A radio without the MMSI on screen differs; one the document leaves open is not compared.
    ASSERT_EQ(Cli("set x.dat --mmsi 211234569").exitCode, 0);
    r = Cli("--port demo --fast verify x.dat --report -");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.ends_with("\nRxFreqStep=1,\t1\nMMSI=211234560,\t211234569\n")) << r.out;
    ASSERT_EQ(Cli("set x.dat --mmsi-by-user on").exitCode, 0);
    EXPECT_EQ(Cli("--port demo --fast verify x.dat").exitCode, 0);

    // With the data on stdout, the success line moves to stderr.
    r = Cli("read - --port demo");
    EXPECT_EQ(r.out.size(), 43816u);
    EXPECT_EQ(r.err.substr(0, 9), "Read OK.\n");
    r = Cli("verify x.dat --port demo --report - -q");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 5), "Date:");
    EXPECT_EQ(r.err, "");
}

// One attempt lost: a fast transfer goes on in the product timing, and says so.
TEST_F(CliCloneCommands, SerialLinkOverAPseudoTerminal) {
    OnRadio([](SimulatedRadio& sim) {
        sim.Faults().noRadio = true;
        sim.Faults().scope.firstFrames = 1;
    });
    ProcessResult r = Cli(Port() + "-b 115200 handshake");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "HandShake OK.\n");
    EXPECT_EQ(r.err, "note: fast transfer went on with the product timing after a failed attempt\n");

    OnRadio([](SimulatedRadio& sim) { sim.Faults() = {}; sim.Faults().noEcho = true; });
    r = Cli("-p " + radio.DevicePath() + " handshake");
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "Adaptor is not detected!\n");
}

// write --backup reads the radio and saves it before anything is written; write --verify reads
// the radio back and names every address that differs from what was sent.
TEST_F(CliCloneCommands, WriteWithBackupAndVerify) {
    const std::string port = Port() + "-b 115200 ";
    ProcessResult r = Cli(port + "write a.dat --backup before.dat --verify");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(std::regex_match(r.out, std::regex("Backup of the radio saved to before.dat\n"
                                                   "What the radio held is kept in the radio archive as "
                                                   "20261206/[-0-9_]+_backup(-2)?\nWrite OK.\nVerify OK.\n")))
        << r.out;
    EXPECT_EQ(nlohmann::json::parse(Cli("show before.dat --json").out)["mmsi"], "211234560")
        << "the backup holds what the radio held";
    // A busy machine may cost a retried frame, never the order. The backup's identify exchanges
    // stand for the write's.
    EXPECT_TRUE(std::regex_match(Letters(), std::regex("A+R+W+A+R+"))) << "backup, write, read back";

    // A byte the radio does not take: the write is acknowledged, the read-back finds it.
    OnRadio([](SimulatedRadio& sim) { sim.Faults().stuckAddress = 0x0400; sim.Memory()[0x0400] ^= 0x5A; });
    r = Cli(port + "write a.dat --verify");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(std::regex_match(r.out, std::regex("What the radio held .*\nWrite OK.\nVerify Error.\n"))) << r.out;
    EXPECT_EQ(r.err, "The radio holds other bytes than were written at 1 address(es): 0x0400\n");
    OnRadio([](SimulatedRadio& sim) { sim.Faults().stuckAddress.reset(); });
    Letters();

    // No backup, no write: neither when the radio cannot be read nor when the copy cannot be saved
    // (known before anything is sent), nor when the copy would replace the file being written, nor
    // when the options contradict each other.
    std::filesystem::create_directory(dir.File("folder"));
    r = Cli(port + "write a.dat --backup folder");
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "folder: cannot be written here (does the folder exist, and may it be written?); nothing was done.\n");
    r = Cli(port + "write a.dat --backup ./a.dat");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "./a.dat: is the same file as the input a.dat; choose another output.\n");
    r = Cli(port + "write a.dat --backup b.dat" + kNoBackupOfA);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("--backup excludes --no-backup"), std::string::npos) << r.err;
    EXPECT_EQ(Letters(), "");

    OnRadio([](SimulatedRadio& sim) { sim.Faults().noRadio = true; });
    r = Cli(port + "write a.dat --backup b.dat");
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "Radio is not detected!\nNo backup of the radio could be read; nothing was written.\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("b.dat")));
    EXPECT_EQ(Letters(), "AAA");
}

// A document that leaves the identities open (as `new` makes it) keeps the radio's; one that sets,
// changes or removes one goes ahead only with each confirmed, and a confirmation of another value
// than the radio will hold stops it before anything is sent. Every write ends by reading the
// identity frames back: a byte that did not take fails it, naming what the radio holds.
TEST_F(CliCloneCommands, IdentitiesAreKeptConfirmedOrRemovedAndReadBack) {
    const std::string port = Port();
    const std::vector<std::uint8_t> held = IdentityBytesOfRadio();
    ASSERT_EQ(Cli("new eu.dat --model eur-int").exitCode, 0);
    ProcessResult r = Cli(port + "write eu.dat");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(IdentityBytesOfRadio(), held);
    // The backup's identify exchanges stand for the write's.
    EXPECT_TRUE(std::regex_match(Letters(), std::regex("A+R+W+A+R{3}"))) << "backup, write, the identity frames";
    EXPECT_NE(Cli("archive log").out.find("write  port " + radio.DevicePath() +
                                          "  serial 20261206  MMSI 211234560  ATIS 211234567  NMEA2000 123456  Write OK.  "
                                          "read-back: Identities OK."),
              std::string::npos)
        << "the log names what was written";

    // Without a backup what the radio holds is not known: every identity is a change.
    r = Cli(port + "write eu.dat --no-backup --confirm-mmsi none");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "This would change the radio's identities:\n"
                     "  MMSI: not known (no backup was read) -> none  (confirmed)\n"
                     "  ATIS: not known (no backup was read) -> none\n"
                     "  NMEA2000 number: not known (no backup was read) -> none\n"
                     "  serial number: not known (no backup was read) -> none\n"
                     "Many radios take their own MMSI and ATIS only once. To go ahead, confirm each change: "
                     "--confirm-atis none --confirm-nmea none --confirm-serial none\nNothing was written.\n");
    // An empty confirmation (an unset variable in a script) confirms nothing; only none removes.
    r = Cli(port + "write eu.dat --no-backup --confirm-mmsi '' --confirm-atis none --confirm-nmea none "
                   "--confirm-serial none");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("--confirm-mmsi: needs the value the radio is to hold, or none"), std::string::npos) << r.err;
    EXPECT_EQ(Letters(), "");

    // A typo in a confirmation is caught before the radio is even read; a new MMSI is asked for.
    ASSERT_EQ(Cli("new c.dat --model eur-int").exitCode, 0);
    ASSERT_EQ(Cli("set c.dat --mmsi 211234569 --mmsi-by-user off").exitCode, 0);
    r = Cli(port + "write c.dat --confirm-mmsi 211234596");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "The MMSI confirmed, 211234596 (ship station, MID 211, Germany), is not what the radio will hold "
                     "after this write: 211234569 (ship station, MID 211, Germany).\nNothing was written.\n");
    EXPECT_EQ(Letters(), "");
    r = Cli(port + "write c.dat --confirm-nmea 000000");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("The NMEA2000 number confirmed, 000000, is not what the radio will hold after this write: "
                         "123456."),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(std::regex_match(Letters(), std::regex("A+R+"))) << "an open identity is known from the backup";
    r = Cli(port + "write c.dat");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("  MMSI: 211234560 (ship station, MID 211, Germany) -> 211234569 (ship station, MID 211, "
                         "Germany)\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("confirm each change: --confirm-mmsi 211234569\n"), std::string::npos) << r.err;
    EXPECT_EQ(IdentityBytesOfRadio(), held);
    // Confirmed, and confirmed again once the radio holds it: one script serves both radios.
    for (int i = 0; i < 2; ++i) {
        r = Cli(port + "write c.dat --confirm-mmsi 211234569 --confirm-serial 20261206");
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(IdentitiesOfRadio()[IdentityKind::Mmsi], "211234569");
    }
    // Zeros typed as the NMEA2000 number program none: a removal, asked like any other, never a
    // number the radio keeps while the document shows zeros.
    ASSERT_EQ(Cli("set c.dat --nmea 000000").exitCode, 0);
    r = Cli(port + "write c.dat");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("\n  NMEA2000 number: 123456 -> none\n"), std::string::npos) << r.err;
    ASSERT_EQ(Cli("set c.dat --nmea ''").exitCode, 0);
    // A serial spelled like none is no removal, and one with a byte no keyboard types is printed
    // escaped: either way the option the question prints, pasted as it is, confirms it.
    ASSERT_EQ(Cli("set c.dat --serial None").exitCode, 0);
    r = Cli(port + "write c.dat");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("\n  serial number: 20261206 -> \"None\"\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("confirm each change: --confirm-serial '\"None\"'\n"), std::string::npos) << r.err;
    EXPECT_EQ(Cli(port + "write c.dat --confirm-serial none").exitCode, 2) << "none confirms a removal only";
    r = Cli(port + "write c.dat --confirm-serial '\"None\"'");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(IdentitiesOfRadio()[IdentityKind::Serial], "None");
    std::vector<std::uint8_t> doc = ReadBytes(dir.File("c.dat"));  // as a read of such a radio keeps it
    std::memcpy(&doc[offsetof(RadioSettings, serialNo)], "AB\x1bX", 5);
    WriteBytes(dir.File("c.dat"), doc);
    r = Cli(port + "write c.dat");
    EXPECT_NE(r.err.find("\n  serial number: \"None\" -> AB\\x1bX\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("confirm each change: --confirm-serial 'AB\\x1bX'\n"), std::string::npos) << r.err;
    r = Cli(port + "write c.dat --confirm-serial 'AB\\x1bX'");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(IdentitiesOfRadio()[IdentityKind::Serial], "AB\x1bX");
    ASSERT_EQ(Cli("set c.dat --serial 20261206").exitCode, 0);
    ASSERT_EQ(Cli(port + "write c.dat --confirm-serial 20261206").exitCode, 0);
    ASSERT_EQ(Cli("set c.dat --serial ''").exitCode, 0);

    // Removed on purpose: each removal confirmed as any change.
    r = Cli(port + "write c.dat --remove-identities serial,NMEA --confirm-nmea none");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("  serial number: 20261206 -> none\n"), std::string::npos) << r.err;
    r = Cli(port + "write c.dat --remove-identities serial,nmea --confirm-nmea none --confirm-serial NONE");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const RadioIdentities now = IdentitiesOfRadio();
    EXPECT_EQ(now[IdentityKind::Serial] + now[IdentityKind::Nmea], "");
    EXPECT_EQ(now[IdentityKind::Atis], kDemoAtis);

    // The radio keeps one byte of its MMSI: acknowledged, found by the identity read-back.
    ASSERT_EQ(Cli("set c.dat --mmsi 211777770").exitCode, 0);
    OnRadio([](SimulatedRadio& sim) { sim.Faults().stuckAddress = 0x0122; });
    r = Cli(port + "write c.dat --confirm-mmsi 211777770");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Write Error. (the radio holds MMSI 211277770, not 211777770)\n");
    EXPECT_NE(Cli("archive log").out.find("Write Error. (the radio holds MMSI 211277770, not 211777770)  "
                                          "read-back: Identities differ."),
              std::string::npos);
}

// A write cut off half way leaves private channels the file check refuses: the read says which
// and why, keeps the radio's exact bytes beside the file, and saves no file that would not open.
TEST_F(CliCloneCommands, AHalfWrittenRadioIsKeptAsItsBytes) {
    OnRadio([](SimulatedRadio& sim) { sim.Faults().silentAfterFrames = 31; });  // the handshake and 30 chunks: up to 0x0357
    EXPECT_EQ(Cli(Port() + "write a.dat" + kNoBackupOfA).exitCode, 3);
    OnRadio([](SimulatedRadio& sim) {
        sim.Faults().silentAfterFrames.reset();
        sim.ClearHistory();
    });
    const std::vector<std::uint8_t> memory = CloneRangeOfRadio();
    const ProcessResult r = Cli(Port() + "read half.dat");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("private channel 9 "), std::string::npos) << r.err;  // cut through at 0x0358
    EXPECT_NE(r.err.find("saved to half.bin"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("half.dat")));
    const auto kept = ReadBytes(dir.File("half.bin"));
    ASSERT_EQ(kept.size(), kImageSize);
    EXPECT_TRUE(std::equal(memory.begin(), memory.end(), kept.begin() + kCloneFirst));
}

// Write, cut off half way, restore: the backup the write made first brings the radio back to its
// exact earlier bytes, and the log holds both. An archive that cannot take the backup stops a
// write before anything is sent.
TEST_F(CliCloneCommands, ARadioCutOffMidWriteIsRestoredFromItsBackup) {
    const std::vector<std::uint8_t> earlier = CloneRangeOfRadio();
    OnRadio([](SimulatedRadio& sim) { sim.Faults().silentAfterFrames = 2 + 77 + 1 + 30; });  // backup, 30 chunks
    const std::string port = Port();
    ProcessResult r = Cli(port + "write a.dat");
    EXPECT_EQ(r.exitCode, 3);
    std::smatch kept;
    ASSERT_TRUE(std::regex_search(r.out, kept, std::regex("radio archive as (\\S+)\n"))) << r.out;
    const std::string entry = kept[1];
    EXPECT_NE(CloneRangeOfRadio(), earlier);
    const std::string suggested = "orven-cli -p " + radio.DevicePath() + " restore " + entry;
    EXPECT_NE(r.err.find("Radio is not detected!\nThe radio may be half-written. Put it back with: " + suggested + "\n"),
              std::string::npos)
        << r.err;

    // The cut-off write kept the radio's identities; without a backup that is not known, and the
    // restore asks about each, the model too.
    OnRadio([](SimulatedRadio& sim) { sim.Faults().silentAfterFrames.reset(); });
    r = Cli(port + "restore " + entry + " --no-backup");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("  MMSI: not known (no backup was read) -> 211234560 (ship station, MID 211, Germany)\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("--confirm-mmsi 211234560 --confirm-atis 211234567 --confirm-nmea 123456 "
                         "--confirm-serial 20261206 --confirm-model Europe\n"),
              std::string::npos)
        << r.err;
    r = Cli("--fast " + suggested.substr(suggested.find(' ') + 1));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Restore OK.\nVerify OK.\n"), std::string::npos) << r.out;
    EXPECT_EQ(CloneRangeOfRadio(), earlier);
    const std::string log = Cli("archive log").out;
    EXPECT_TRUE(std::regex_search(log, std::regex(R"(write .*Radio is not detected!.*\n.*restore .*Write OK\.  read-back: Verify OK\.)")))
        << log;
    EXPECT_NE(Cli("archive list --serial 20261206").out.find(entry + " "), std::string::npos);

    // Another radio's bytes (another serial, another model) change who this radio is.
    std::vector<std::uint8_t> other = ReadBytes(dir.File(std::string(kArchiveFolder) + "/" + entry + "/image.bin"));
    std::memcpy(&other[kAddrSerialNo], "OTHER 01", 8);
    other[kAddrRegion] = 0;
    WriteBytes(dir.File("other.bin"), other);
    r = Cli(port + "restore other.bin --confirm-serial 'OTHER 01'");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("  serial number: 20261206 -> OTHER 01  (confirmed)\n  model: Europe -> USA\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("confirm each change: --confirm-model USA\n"), std::string::npos) << r.err;
    EXPECT_EQ(CloneRangeOfRadio(), earlier);
    r = Cli(port + "restore other.bin --confirm-serial 'OTHER 01' --confirm-model usa");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(IdentitiesOfRadio()[IdentityKind::Serial], "OTHER 01");
    // A serial that would move a terminal's cursor is told escaped.
    std::memcpy(&other[kAddrSerialNo], "\x1b[2J\x1b[H", 7);
    WriteBytes(dir.File("other.bin"), other);
    r = Cli(port + "restore other.bin");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("  serial number: OTHER 01 -> \\x1b[2J\\x1b[H1\n"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos);

    WriteText(dir.File("not-a-folder"), "x");
    Letters();
    r = RunProcess("XDG_DATA_HOME='" + dir.File("not-a-folder") + "' '" + ORVEN_CLI_PATH + "' " + port + "write a.dat",
                   dir.path());
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_NE(r.err.find("not-a-folder/orven-clone/archive cannot be written"), std::string::npos) << r.err;
    EXPECT_EQ(Letters(), "");
}

// A restore sends an entry's bytes only when its record vouches for them: an image changed, cut
// short or without its record is listed as damaged, shown as far as it can be read, and refused
// with the reason before anything is sent. An image file named by path has no record and is
// taken as it is.
TEST_F(CliCloneCommands, ARestoreSendsOnlyTheBytesAnEntrysRecordVouchesFor) {
    const std::string port = Port();
    std::string ids[3];
    for (std::string& id : ids) {
        const ProcessResult r = Cli(port + "read r.dat");
        ASSERT_EQ(r.exitCode, 0) << r.err;
        id = r.out.substr(r.out.find(" as ") + 4);
        id.pop_back();
    }
    const auto fileOf = [&](const std::string& id, const char* name) {
        return dir.File(std::string(kArchiveFolder) + "/" + id + "/" + name);
    };
    auto image = ReadBytes(fileOf(ids[0], "image.bin"));
    const std::string recorded = Sha256Hex(std::span(image).subspan(kCloneFirst, kCloneLast - kCloneFirst + 1));
    image[kCloneLast] ^= 0x01;
    const std::string changed = Sha256Hex(std::span(image).subspan(kCloneFirst, kCloneLast - kCloneFirst + 1));
    WriteBytes(fileOf(ids[0], "image.bin"), image);
    std::filesystem::resize_file(fileOf(ids[1], "image.bin"), 100);
    std::filesystem::remove(fileOf(ids[2], "record.json"));
    Letters();

    ProcessResult r = Cli(port + "restore " + ids[0]);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, ids[0] + ": a damaged entry of the radio archive, not restored: image.bin does not match the "
                              "SHA-256 in its record\n  the record says " + recorded + "\n  the image has   " +
                         changed + "\nNothing was sent to the radio.\n");
    for (const auto& [id, why] : {std::pair{ids[1], "image.bin holds 100 bytes, not 8192"},
                                  {ids[2], "record.json is missing"}}) {
        r = Cli(port + "restore " + id);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_NE(r.err.find(std::string("not restored: ") + why + "\n"), std::string::npos) << r.err;
    }
    EXPECT_EQ(Letters(), "") << "the radio was not touched";

    const std::string list = Cli("archive list").out;
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 3) << list;
    EXPECT_NE(list.find(" damaged: image.bin does not match the SHA-256 in its record\n"), std::string::npos) << list;
    EXPECT_NE(list.find(" damaged: image.bin holds 100 bytes, not 8192\n"), std::string::npos) << list;
    const std::string name = ids[2].substr(ids[2].find('/') + 1);
    const std::string time = name.substr(0, 10) + " " + name.substr(11, 2) + ":" + name.substr(13, 2) + ":" +
                             name.substr(15, 2);
    EXPECT_TRUE(std::regex_search(list, std::regex(ids[2] + " +" + time + "  read "))) << "the folder's name tells";
    EXPECT_NE(Cli("archive list --serial " + std::string(kDemoSerial)).out.find("record.json is missing"),
              std::string::npos);
    const std::string shown = Cli("archive show " + ids[0]).out;
    EXPECT_NE(shown.find("Damaged: image.bin does not match"), std::string::npos) << shown;
    EXPECT_NE(shown.find("SHA-256: " + recorded + "\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Image SHA-256: " + changed + " (as the image is now)\n"), std::string::npos) << shown;
    EXPECT_NE(Cli("archive show " + ids[2]).out.find("Settings: " + fileOf(ids[2], "settings.dat")), std::string::npos);

    // An entry's image named by its path is still the entry, which its record does not vouch for.
    r = Cli(port + "restore " + fileOf(ids[0], "image.bin"));
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.rfind(ids[0] + ": a damaged entry of the radio archive", 0), 0u) << r.err;
    EXPECT_EQ(Letters(), "");
    // Given by a path of the user's own, the very same bytes are the user's to send.
    WriteBytes(dir.File("mine.bin"), image);
    r = Cli(port + "restore mine.bin");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(CloneRangeOfRadio(), std::vector(image.begin() + kCloneFirst, image.begin() + kCloneLast + 1));
    r = Cli(port + "restore nothing.bin");
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err.rfind("nothing.bin: no such file, and no entry of the radio archive ", 0), 0u) << r.err;
}

// A write killed outright leaves its started line, written before the first frame: the log shows
// it as interrupted and names the backup to restore, which brings the radio back.
TEST_F(CliCloneCommands, AWriteKilledMidwayShowsInTheLogWithTheBackupToRestore) {
    const std::vector<std::uint8_t> earlier = CloneRangeOfRadio();
    // The backup, the write's handshake and ten chunks; then the radio falls silent and the write
    // waits through its attempts.
    OnRadio([](SimulatedRadio& sim) { sim.Faults().silentAfterFrames = 2 + 77 + 1 + 10; });
    const std::string log = std::string(kArchiveFolder) + "/programming.log";
    const ProcessResult killed = RunProcess(
        "('" + std::string(ORVEN_CLI_PATH) + "' " + Port() + "write a.dat & pid=$!; for i in $(seq 500); do " +
            "grep -q started " + log + " 2>/dev/null && break; sleep 0.01; done; sleep 0.2; kill -KILL $pid; " +
            "wait $pid)",
        dir.path());
    EXPECT_EQ(killed.exitCode, 128 + SIGKILL) << killed.err;

    OnRadio([](SimulatedRadio& sim) { sim.Faults().silentAfterFrames.reset(); });
    const std::string backup = Cli("archive list").out.substr(0, 36);
    ASSERT_NE(backup.find("_backup"), std::string::npos) << backup;
    const std::string shown = Cli("archive log").out;
    const std::string restore = "orven-cli -p " + radio.DevicePath() + " restore " + backup.substr(0, backup.find(' '));
    EXPECT_NE(shown.find("  write  port " + radio.DevicePath() + "  serial "), std::string::npos) << shown;
    EXPECT_NE(shown.find("INTERRUPTED: no outcome was logged; the radio may hold part of this write. What it held "
                         "before: " + restore + "  sha256 "),
              std::string::npos)
        << shown;
    const ProcessResult r = Cli(Port() + restore.substr(restore.find("restore")) + " --no-backup --confirm-mmsi " +
                                kDemoMmsi + " --confirm-atis " + kDemoAtis + " --confirm-nmea " + kDemoNmea +
                                " --confirm-serial " + kDemoSerial + " --confirm-model Europe");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(CloneRangeOfRadio(), earlier);
}

// Bytes from a radio, a file or the log reach the terminal escaped: no escape sequence can
// colour a list, move the cursor or forge a line.
TEST_F(CliCloneCommands, TextFromRadiosFilesAndTheLogIsPrintedEscaped) {
    const std::string entry = std::string(kArchiveFolder) + "/x/2026-12-07_101530_read";
    std::filesystem::create_directories(dir.File(entry));
    WriteText(dir.File(entry + "/record.json"),
              R"({"time": "2026-12-07 10:15:30", "operation": "read", "serial": "\u001b[31mRED", "mmsi": "1\n2"})");
    WriteText(dir.File(std::string(kArchiveFolder) + "/programming.log"),
              R"({"time": "t", "operation": "write", "port": "\u001b]0;title\u0007", "result": "ok\u000d"})" "\n");
    auto settings = ReadBytes(dir.File("a.dat"));
    std::copy_n("\x1b[2J", 4, settings.begin() + offsetof(RadioSettings, brandName));
    settings[offsetof(RadioSettings, serialNo)] = '\x9b';
    WriteBytes(dir.File("esc.dat"), settings);
    const ProcessResult outputs[] = {Cli("archive list"), Cli("archive show x/2026-12-07_101530_read"),
                                     Cli("archive log"), Cli("show esc.dat")};
    for (const ProcessResult& r : outputs) {
        EXPECT_EQ(r.out.find_first_of("\x1b\x07\r\x9b"), std::string::npos) << r.out;
        EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
    }
    EXPECT_NE(outputs[0].out.find("serial \\x1b[31mRED MMSI 1\\x0a2  damaged: image.bin is missing"),
              std::string::npos) << outputs[0].out;
    EXPECT_NE(outputs[1].out.find("Serial: \\x1b[31mRED\n"), std::string::npos) << outputs[1].out;
    EXPECT_NE(outputs[2].out.find("port \\x1b]0;title\\x07  "), std::string::npos) << outputs[2].out;
    EXPECT_NE(outputs[3].out.find("Brand name        \\x1b[2J"), std::string::npos) << outputs[3].out;
    EXPECT_NE(outputs[3].out.find("Serial number     \\x9b"), std::string::npos) << outputs[3].out;
}

TEST_F(CliCloneCommands, InterruptStopsATransferAndReportsUserCancel) {
    const std::string cli = std::string("'") + ORVEN_CLI_PATH + "' -p " + radio.DevicePath();
    // A termination request and a hang-up stop as Ctrl-C does; a killed client leaves the port
    // usable for the next.
    for (const char* signal : {"TERM", "HUP", "KILL"}) {
        SCOPED_TRACE(signal);
        Letters();
        ProcessResult r = RunProcess("(" + cli + " write a.dat" + kNoBackupOfA + " & pid=$!; sleep 1; kill -" + signal +
                                         " $pid; wait $pid)",
                                     dir.path());
        if (std::string(signal) != "KILL") {
            EXPECT_EQ(r.exitCode, 3) << r.out << r.err;
            // Without a backup there is nothing to restore, but the user is told what the radio holds.
            EXPECT_EQ(r.err, "User Cancel.\nThe radio may be half-written.\n");
        }
        const std::size_t frames = Letters().size();
        EXPECT_GT(frames, 0u);
        EXPECT_LT(frames, 79u);  // the handshake and the 77 chunks were not all sent
        r = RunProcess(cli + " --fast handshake", dir.path());
        EXPECT_EQ(r.exitCode, 0) << r.err;
    }
}

TEST_F(CliCloneCommands, PortsListsEveryComPortAndTheUsbRadio) {
    PortFolderScope ports;
    ports.Link(3, "/dev/null");
    const ProcessResult r = Cli("ports");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 33);
    EXPECT_NE(r.out.find(ports.Entry(3)), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("USB    absent   radio 0483:5750\n"), std::string::npos);
}

}  // namespace
}  // namespace orven::test
