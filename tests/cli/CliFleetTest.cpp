// orven-cli fleet and archive register against simulated radios on pseudo-terminals.
#include "clone/EngineTestSupport.h"
#include "files/CsvTable.h"
#include "model/RadioIdentities.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedRadioPty.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <thread>

namespace orven::test {
namespace {

class CliFleet : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Cli("new t.dat --model eur-int --country all").exitCode, 0); }

    ProcessResult Cli(const std::string& args) { return RunCli(args, dir.path()); }
    // A radio on a pseudo-terminal of its own, holding new-radio memory with this serial number.
    void Radios(const std::vector<std::string>& serials) {
        for (const std::string& serial : serials) {
            auto& pty = ptys.emplace_back(std::make_unique<SimulatedRadioPty>());
            pty->WithRadio([&](SimulatedRadio& r) { FillNewRadioMemory(r.Memory(), serial); });
            ASSERT_TRUE(pty->Start());
        }
    }
    std::string Ports() const {
        std::string ports;
        for (const auto& pty : ptys) ports += (ports.empty() ? "" : ",") + pty->DevicePath();
        return " --ports " + ports + " --fast ";
    }
    template <class F>
    auto OnRadio(std::size_t i, F&& f) { return ptys[i]->WithRadio(std::forward<F>(f)); }
    RadioImage Memory(std::size_t i) { return OnRadio(i, [](SimulatedRadio& r) { return r.Memory(); }); }
    std::string Mmsi(std::size_t i) { return IdentitiesInImage(Memory(i))[IdentityKind::Mmsi]; }
    std::size_t FramesReceived(std::size_t i) { return OnRadio(i, [](SimulatedRadio& r) { return r.Log().size(); }); }
    std::size_t Writes(std::size_t i) { return OnRadio(i, [](SimulatedRadio& r) { return r.Counters().writes; }); }
    // The rows of a CSV the register printed, its header first.
    static std::vector<std::vector<std::string>> Rows(const std::string& csv) {
        std::string error;
        const std::optional<CsvTable> table = ParseCsv(csv, error);
        EXPECT_TRUE(table) << error;
        std::vector<std::vector<std::string>> rows;
        if (table)
            for (const CsvRow& row : table->rows) rows.push_back(row.fields);
        return rows;
    }

    TempDir dir;
    std::vector<std::unique_ptr<SimulatedRadioPty>> ptys;
};

// A box of radios programmed in one run: each holds its own MMSI, each radio's line names it and
// its backup, a stranger is left untouched (exit 1), and the register lists each radio once, its
// history every write.
TEST_F(CliFleet, ProgramsEveryRadioAndRegistersItOnce) {
    Radios({"S1", "S2"});
    WriteText(dir.File("roster.csv"), "Serial;MMSI;Name\r\nS1;211000001;Heron\r\nS2;211000002;\"Otter, the 2nd\"\r\n");
    ProcessResult r = Cli("fleet t.dat roster.csv --once --yes" + Ports());
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(Mmsi(0), "211000001");
    EXPECT_EQ(Mmsi(1), "211000002");
    EXPECT_NE(r.out.find(ptys[1]->DevicePath() + ": radio S2 (Otter, the 2nd): programmed and verified; MMSI 211000002; backup S2/"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("2 programmed and verified, 0 failed, 0 untouched\n"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find(ptys[0]->DevicePath() + "  S1 (Heron)  Writing\n"), std::string::npos) << r.err;

    // A second run: S1 again (already in its radio), and a stranger.
    ptys.pop_back();
    Radios({"X9"});
    r = Cli("fleet t.dat roster.csv --once --yes" + Ports());
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_NE(r.out.find(ptys[1]->DevicePath() + ": radio X9: untouched: its serial number is not in the roster"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(Writes(1), 0u);

    r = Cli("archive register");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto now = Rows(r.out);
    ASSERT_EQ(now.size(), 3u) << r.out;
    EXPECT_EQ(now[0][0], "Serial");
    EXPECT_EQ(now[1][0] + " " + now[1][1] + " " + now[1][4], "S1 211000001 Heron");
    EXPECT_EQ(now[2][0] + " " + now[2][1] + " " + now[2][4], "S2 211000002 Otter, the 2nd");
    ASSERT_EQ(Cli("archive register --history -o history.csv").exitCode, 0);
    const auto history = Rows(ReadText(dir.File("history.csv")));
    EXPECT_EQ(history.size(), 4u) << "S1 written twice, S2 once";
}

// A roster that would program a radio wrongly is refused (exit 2) before a frame reaches any
// radio, each reason by line and column; so is a run nobody confirmed.
TEST_F(CliFleet, ARefusedRosterTouchesNoRadio) {
    Radios({"S1", "S2"});
    const struct {
        const char* roster;
        const char* told;
    } cases[] = {
        {"Serial,MMSI\nS1,211000001\nS2,211000001\n", "roster.csv: line 3, column 2 (MMSI): is the MMSI of line 2"},
        {"Serial,MMSI\nS1,21100000\nS2,211000002\n", "roster.csv: line 2, column 2 (MMSI): must be an own MMSI"},
        {"Serial,MMSI,Colour\nS1,211000001,red\n", "roster.csv: line 1, column 3 (Colour): is not a column"},
        {"MMSI\n211000001\n", "roster.csv: line 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.roster);
        WriteText(dir.File("roster.csv"), c.roster);
        const ProcessResult r = Cli("fleet t.dat roster.csv --once --yes" + Ports());
        EXPECT_EQ(r.exitCode, 2) << r.out << r.err;
        EXPECT_NE(r.err.find(c.told), std::string::npos) << r.err;
    }
    WriteText(dir.File("roster.csv"), "Serial,MMSI\nS1,211000001\n");
    ProcessResult r = Cli("fleet t.dat roster.csv --once" + Ports());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "Nothing was programmed: confirm the roster's identities with --yes.\n");
    r = Cli("fleet t.dat roster.csv --once --yes --ports " + ptys[0]->DevicePath() + ",LPT1");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "Unknown port: LPT1 (use USB, COMn or a serial device path)\n");
    EXPECT_EQ(FramesReceived(0) + FramesReceived(1), 0u);

    // A port on which no radio answers is no success.
    r = Cli("fleet t.dat roster.csv --once --yes --ports " + dir.File("no-such-port"));
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_NE(r.out.find("0 programmed and verified, 0 failed, 0 untouched, 1 port(s) without a radio\n"),
              std::string::npos)
        << r.out;

    // The MMSI in the register of a radio sold: refused until --allow-reuse.
    ASSERT_EQ(Cli("fleet t.dat roster.csv --once --yes" + Ports()).exitCode, 1);  // S2 not in the roster
    WriteText(dir.File("resold.csv"), "Serial,MMSI\nS2,211000001\n");
    r = Cli("fleet t.dat resold.csv --once --yes" + Ports());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("resold.csv: line 2, column 2 (MMSI): is the MMSI of radio S1 by the register"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("--allow-reuse"), std::string::npos);
    EXPECT_EQ(Mmsi(1), "");
    r = Cli("fleet t.dat resold.csv --once --yes --allow-reuse" + Ports());
    EXPECT_EQ(Mmsi(1), "211000001") << r.out << r.err;
}

// A termination request (as Ctrl-C) ends a run that waits for radios and one that writes: the port
// writing fails with the command that puts the radio back, and that command does.
TEST_F(CliFleet, AnInterruptStopsEveryPortAndNamesTheBackupToRestore) {
    Radios({"S1", "S2"});
    OnRadio(1, [](SimulatedRadio& r) { r.Faults().replyDelay = 5ms; });
    const RadioImage before = Memory(1);
    WriteText(dir.File("roster.csv"), "Serial,MMSI\nS1,211000001\nS2,211000002\n");
    ProcessResult r;
    std::thread run([&] {
        r = RunProcess(std::string("('") + ORVEN_CLI_PATH + "' fleet t.dat roster.csv --yes" + Ports() +
                           " & pid=$!; echo $pid >pid; wait $pid)",
                       dir.path());
    });
    const bool writing = WaitUntil([&] { return Mmsi(0) == "211000001" && Writes(1) > 10; }, 30s);
    const int pid = std::atoi(ReadText(dir.File("pid")).c_str());
    if (pid > 0) kill(pid, SIGTERM);
    run.join();
    ASSERT_TRUE(writing);
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_NE(r.out.find("1 programmed and verified, 1 failed, 0 untouched"), std::string::npos) << r.out;
    const std::string put = "put it back with: orven-cli -p " + ptys[1]->DevicePath() + " restore ";
    const std::size_t at = r.out.find(put);
    ASSERT_NE(at, std::string::npos) << r.out;
    EXPECT_NE(r.out.find("User Cancel."), std::string::npos) << r.out;
    const std::string entry = r.out.substr(at + put.size(), r.out.find('\n', at) - at - put.size());

    // The write had reached the identities: the restore asks for the MMSI's removal, as any would.
    OnRadio(1, [](SimulatedRadio& radio) { radio.Faults().replyDelay = {}; });
    const std::string restore = "-p " + ptys[1]->DevicePath() + " --fast restore " + entry;
    r = Cli(restore);
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_NE(r.err.find("--confirm-mmsi none"), std::string::npos) << r.err;
    r = Cli(restore + " --confirm-mmsi none");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const RadioImage after = Memory(1);
    EXPECT_TRUE(std::equal(after.begin() + kCloneFirst, after.begin() + kCloneLast + 1, before.begin() + kCloneFirst));
}

// A run once that is stopped before a port has handled its radio has not done what it was asked:
// the port is named, nothing was written, and the exit code is no success.
TEST_F(CliFleet, AnInterruptBeforeARadioWasHandledIsNoSuccess) {
    Radios({"S1"});
    OnRadio(0, [](SimulatedRadio& r) { r.Faults().replyDelay = 400ms; });
    WriteText(dir.File("roster.csv"), "Serial,MMSI\nS1,211000001\n");
    ProcessResult r;
    std::thread run([&] {
        r = RunProcess(std::string("('") + ORVEN_CLI_PATH + "' fleet t.dat roster.csv --once --yes" + Ports() +
                           " & pid=$!; echo $pid >pid; wait $pid)",
                       dir.path());
    });
    const bool looking = WaitUntil([&] { return FramesReceived(0) > 0; }, 10s);
    const int pid = std::atoi(ReadText(dir.File("pid")).c_str());
    if (pid > 0) kill(pid, SIGINT);
    run.join();
    ASSERT_TRUE(looking);
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_NE(r.out.find(ptys[0]->DevicePath() + ": stopped before its radio was programmed; nothing was written to it\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("0 programmed and verified, 0 failed, 0 untouched, 1 port(s) stopped before their radio\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(Writes(0), 0u);
}

// A run that waits for radios says why a port cannot be looked at (a mistyped device), instead
// of waiting on it unaware; a port whose radio is only absent just waits.
TEST_F(CliFleet, APortThatCannotBeOpenedSaysWhyWhileTheRunWaits) {
    Radios({"S1"});
    OnRadio(0, [](SimulatedRadio& r) { r.Unplug(); });
    WriteText(dir.File("roster.csv"), "Serial,MMSI\nS1,211000001\n");
    const std::string missing = dir.File("ttyUSB9");
    ProcessResult r;
    std::thread run([&] {
        r = RunProcess(std::string("('") + ORVEN_CLI_PATH + "' fleet t.dat roster.csv --yes --fast --ports " + missing +
                           "," + ptys[0]->DevicePath() + " & pid=$!; echo $pid >pid; wait $pid)",
                       dir.path());
    });
    const bool looked = WaitUntil([&] { return FramesReceived(0) > 0; }, 10s);
    std::this_thread::sleep_for(2s);  // the silent radio's look has given up
    const int pid = std::atoi(ReadText(dir.File("pid")).c_str());
    if (pid > 0) kill(pid, SIGTERM);
    run.join();
    ASSERT_TRUE(looked);
    EXPECT_NE(r.err.find(missing + "  Waiting for a radio (Open Comp Port Error. (" + missing + ": no such device))\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find(ptys[0]->DevicePath() + "  Waiting for a radio\n"), std::string::npos) << r.err;
}

// A programming log that cannot be read is no empty register: the register is not written, the
// log not shown, and a roster that cannot be checked against it touches no radio.
TEST_F(CliFleet, AnUnreadableLogIsNoEmptyRegister) {
    Radios({"S1"});
    WriteText(dir.File("roster.csv"), "Serial,MMSI\nS1,211000001\n");
    const std::string log = dir.File(std::string(kArchiveFolder) + "/programming.log");
    ASSERT_TRUE(std::filesystem::create_directories(log));
    const std::string cannot = "The programming log " + log + " cannot be read (a folder, not a file)";

    ProcessResult r = Cli("archive register -o register.csv");
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, cannot + "; no register was written.\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("register.csv")));
    r = Cli("archive log");
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, cannot + "\n");
    r = Cli("fleet t.dat roster.csv --once --yes" + Ports());
    EXPECT_EQ(r.exitCode, 2) << r.out << r.err;
    EXPECT_EQ(r.err, cannot + ": the roster cannot be checked against the register.\n");
    EXPECT_EQ(FramesReceived(0), 0u);

    // One damaged line is no reason to stop, but the run says the register was read without it.
    std::filesystem::remove(log);
    WriteText(log, "{\"operation\":\"write\",\"serial\":\"S0\",\"mmsi\":\"2110\n");
    r = Cli("fleet t.dat roster.csv --once --yes" + Ports());
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_EQ(r.err.rfind("warning: the programming log has 1 damaged line(s): the roster was checked against the "
                          "register without them\n",
                          0),
              0u)
        << r.err;
}

// Output read by a program that stops reading (`| head -1`) no longer kills the run while a radio
// is being written: every radio is programmed and logged; only the lines are lost.
TEST_F(CliFleet, AReaderThatGoesAwayCutsNoRadioShort) {
    Radios({"S1", "S2", "S3"});
    // S1's line ends the reader, S2's finds it gone while S3 is still being written.
    OnRadio(1, [](SimulatedRadio& r) { r.Faults().replyDelay = 2ms; });
    OnRadio(2, [](SimulatedRadio& r) { r.Faults().replyDelay = 10ms; });
    WriteText(dir.File("roster.csv"), "Serial,MMSI\nS1,211000001\nS2,211000002\nS3,211000003\n");
    const ProcessResult r = RunProcess(std::string("('") + ORVEN_CLI_PATH + "' fleet t.dat roster.csv --once --yes" +
                                           Ports() + " 2>/dev/null | head -1)",
                                       dir.path());
    EXPECT_EQ(r.out.rfind("Program up to 3 radios", 0), 0u) << r.out;
    EXPECT_EQ(Mmsi(0), "211000001");
    EXPECT_EQ(Mmsi(1), "211000002");
    EXPECT_EQ(Mmsi(2), "211000003") << "the slow radio was written whole";
    const ProcessResult log = Cli("archive log");
    EXPECT_EQ(log.out.find("INTERRUPTED"), std::string::npos) << log.out;
    EXPECT_NE(log.out.find("serial S3  MMSI 211000003  ATIS -  NMEA2000 -  Write OK.  read-back: Verify OK."),
              std::string::npos)
        << log.out;
}

}  // namespace
}  // namespace orven::test
