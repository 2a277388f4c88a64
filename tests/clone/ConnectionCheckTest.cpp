// Check Connection names the cause of every way a radio can fail to answer, with its fix.
#include "clone/ConnectionCheck.h"

#include "clone/CloneEvent.h"
#include "files/FilesTestDir.h"
#include "link/CHidDevice.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedHidBackend.h"
#include "sim/SimulatedRadioPty.h"

#include <sys/file.h>

namespace orven {
namespace {

using namespace std::chrono_literals;

class ConnectionCheckTest : public testing::FilesTestDir {
protected:
    void SetUp() override {
        FilesTestDir::SetUp();
        CloneStopEvent.Reset();
        job.state = &state;
        job.timing = {2ms, 20, 30ms};
        paths = {Path("sys"), Path("dev"), Path("proc"), {Path("rules")}};
    }

    // The whole checklist as "STATUS text" lines, one per line, for matching.
    static std::string Lines(const ConnectionReport& report) {
        std::string text;
        for (const CheckLine& l : report.lines) text += std::string(StatusWord(l.status)) + " " + l.text + "\n";
        return text;
    }

    // The checklist of a demo radio with `fault` on a pseudo-terminal.
    ConnectionReport CheckWithRadio(const std::function<void(SimFaults&)>& fault) {
        SimulatedRadioPty radio;
        radio.WithRadio([&](SimulatedRadio& r) {
            FillDemoMemory(r.Memory());
            fault(r.Faults());
        });
        EXPECT_TRUE(radio.Start());
        job.serialDevice = radio.DevicePath();
        return CheckConnection(job, paths);
    }

    void MakeFile(const std::string& name, const std::string& text) {
        std::filesystem::create_directories(std::filesystem::path(Path(name)).parent_path());
        WriteBytes(Path(name), text.data(), text.size());
    }

    AppState state = FreshAppState();
    CloneJob job;
    SystemPaths paths;
};

// ModemManager is running all the while.
TEST_F(ConnectionCheckTest, SerialLinkFaultsAreNamed) {
    const struct {
        const char* what;
        std::function<void(SimFaults&)> fault;
        bool answers;
        std::vector<std::string> expected;  // lines the checklist must hold
    } cases[] = {
        {"a good radio", [](SimFaults&) {}, true,
         {"OK the radio answers at 9600 baud in ", "OK fast transfer suits this link", "WARN ModemManager is running"}},
        {"no adaptor", [](SimFaults& f) { f.noEcho = true; }, false, {"FAIL nothing came back"}},
        {"no radio", [](SimFaults& f) { f.noRadio = true; }, false, {"FAIL the radio does not answer the identify frame"}},
        {"bad checksum", [](SimFaults& f) { f.badChecksum = true; }, false, {"FAIL the radio answers, but 5 of 5 replies"}},
        {"noise before replies", [](SimFaults& f) { f.noiseBytes = 5; }, true, {"OK the radio answers"}},
        {"bytes after replies", [](SimFaults& f) { f.lineFault = {LineFault::Kind::Duplicate, 31}; }, true,
         {"WARN fast transfer does not suit this link"}},
    };
    MakeFile("proc/812/comm", "ModemManager\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ConnectionReport report = CheckWithRadio(c.fault);
        EXPECT_EQ(report.radioAnswers, c.answers) << Lines(report);
        for (const std::string& line : c.expected) EXPECT_NE(Lines(report).find(line), std::string::npos) << Lines(report);
    }
}

// The echo line tells a good adaptor from one that garbles the echo of some frames, which costs
// retries, and from one that garbles every echo, which no transfer gets past.
TEST_F(ConnectionCheckTest, AnAdaptorThatGarblesSomeEchoesIsToldFromAGoodOne) {
    const struct {
        const char* what;
        std::function<void(SimFaults&)> fault;
        bool answers;
        std::string echoLine;
    } cases[] = {
        {"a good adaptor", [](SimFaults&) {}, true, "OK the adaptor echoes what is sent"},
        // Of how many frames: a busy machine may add a retried one.
        {"every other echo garbled",
         [](SimFaults& f) {
             f.garbledEchoByte = 12;
             f.scope.everyFrame = 2;
         },
         true, "WARN the adaptor garbled the echo of "},
        {"every echo garbled", [](SimFaults& f) { f.garbledEchoByte = 31; }, false,
         "FAIL the adaptor does not echo exactly what is sent"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ConnectionReport report = CheckWithRadio(c.fault);
        EXPECT_EQ(report.radioAnswers, c.answers) << Lines(report);
        EXPECT_NE(Lines(report).find(c.echoLine), std::string::npos) << Lines(report);
    }
}

TEST_F(ConnectionCheckTest, APortThatIsMissingHeldOrForbiddenIsNamedWithItsFix) {
    job.serialDevice = Path("ttyUSB9");
    ConnectionReport report = CheckConnection(job, paths);
    EXPECT_FALSE(report.radioAnswers);
    EXPECT_NE(Lines(report).find("FAIL " + job.serialDevice + " stands for " + job.serialDevice + ", which does not exist"),
              std::string::npos)
        << Lines(report);

    SimulatedRadioPty radio;
    ASSERT_TRUE(radio.Start());
    job.serialDevice = radio.DevicePath();
    const int held = open(radio.DevicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    const ChildEnd end = InChild(ChildLimit::FileSizeErrors, [&] {
        const std::string lines = Lines(CheckConnection(job, paths));
        return lines.find("FAIL " + job.serialDevice + ": in use by PID " + std::to_string(getppid())) != std::string::npos;
    });
    EXPECT_EQ(end, ChildEnd::Passed) << "a port another process holds names that process";
    close(held);

    // A user who may not open the port is told so, and the link is not tried.
    const ChildEnd forbidden = InChild(ChildLimit::NobodyUser, [&] {
        const ConnectionReport report = CheckConnection(job, paths);
        return Lines(report).find("FAIL this user may not open " + job.serialDevice + " (") != std::string::npos &&
               !report.radioAnswers;
    });
    if (forbidden == ChildEnd::CannotSwitchUser) GTEST_SKIP() << "cannot run as another user";
    EXPECT_EQ(forbidden, ChildEnd::Passed);
}

TEST_F(ConnectionCheckTest, UsbRadioChecksFollowTheSystemAndTheDevice) {
    auto backend = std::make_shared<SimulatedHidBackend>();
    backend->WithRadio([](SimulatedRadio& r) { FillDemoMemory(r.Memory()); });
    CHidDevice device(kUsbVendorId, kUsbProductId, backend.get());
    job.hidDevice = &device;

    ConnectionReport report = CheckConnection(job, paths);
    EXPECT_NE(Lines(report).find("FAIL no USB radio (0483:5750) is attached"), std::string::npos) << Lines(report);
    EXPECT_NE(Lines(report).find("WARN no udev rule for the radio is installed"), std::string::npos);

    MakeFile("sys/bus/usb/devices/1-2/idVendor", "0483\n");
    MakeFile("sys/bus/usb/devices/1-2/idProduct", "5750\n");
    MakeFile("sys/class/hidraw/hidraw3/device/uevent", "DRIVER=hid-generic\nHID_ID=0003:00000483:00005750\n");
    MakeFile("dev/hidraw3", "");
    MakeFile("rules/70-orven-radio.rules", "ATTRS{idVendor}==\"0483\", ATTRS{idProduct}==\"5750\"\n");
    report = CheckConnection(job, paths);
    EXPECT_TRUE(report.radioAnswers) << Lines(report);
    const std::string expected[] = {"OK the USB radio 0483:5750 is attached (1-2)", "OK this user may open " + Path("dev/hidraw3"),
                                    "OK the udev rule is installed: " + Path("rules/70-orven-radio.rules"),
                                    "OK the radio opens", "OK the radio answers in "};
    for (const std::string& line : expected)
        EXPECT_NE(Lines(report).find(line), std::string::npos) << line << "\n" << Lines(report);

    backend->SetPlugged(false);
    EXPECT_FALSE(CheckConnection(job, paths).radioAnswers);
}

// Each reader is told what to do with the controls it has: the command line's options, or the
// window's port list, Scan COMx and Clone menu.
TEST_F(ConnectionCheckTest, FixesNameTheControlsOfTheirReader) {
    const char* commandLineWords[] = {"orven-cli", "-p ", "-b ", "--fast"};
    const char* windowWords[] = {"Scan COMx", "port list", "Clone > Fast Transfer"};
    const struct {
        const char* what;
        std::function<void(SimFaults&)> fault;  // none: no device at all
        const char *commandLine, *window;        // what each reader is told
    } cases[] = {
        {"no device", nullptr, "`orven-cli ports` lists the ports", "press Scan COMx"},
        {"no adaptor", [](SimFaults& f) { f.noEcho = true; }, "(orven-cli ports)", "(press Scan COMx"},
        {"a good radio", [](SimFaults&) {}, "(--fast at 9600 baud)", "(Clone > Fast Transfer at 9600 baud)"},
        {"bytes after replies", [](SimFaults& f) { f.lineFault = {LineFault::Kind::Duplicate, 31}; },
         "leave --fast off", "leave Clone > Fast Transfer off"},
    };
    const auto text = [](const ConnectionReport& report) {
        std::string all;
        for (const CheckLine& l : report.lines) all += l.text + " / " + l.fix + "\n";
        return all;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SimulatedRadioPty radio;
        job.serialDevice = Path("ttyUSB9");
        if (c.fault) {
            radio.WithRadio([&](SimulatedRadio& r) {
                FillDemoMemory(r.Memory());
                c.fault(r.Faults());
            });
            ASSERT_TRUE(radio.Start());
            job.serialDevice = radio.DevicePath();
        }
        const std::string forCommandLine = text(CheckConnection(job, paths));
        const std::string forWindow = text(CheckConnection(job, paths, true, CheckReader::Window));
        EXPECT_NE(forCommandLine.find(c.commandLine), std::string::npos) << forCommandLine;
        EXPECT_NE(forWindow.find(c.window), std::string::npos) << forWindow;
        for (const char* word : commandLineWords) EXPECT_EQ(forWindow.find(word), std::string::npos) << word;
        for (const char* word : windowWords) EXPECT_EQ(forCommandLine.find(word), std::string::npos) << word;
    }
}

}  // namespace
}  // namespace orven
