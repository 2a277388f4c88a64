#include "clone/ConnectionCheck.h"

#include "clone/CloneFrame.h"
#include "clone/ReplyCollector.h"
#include "link/CHidDevice.h"
#include "link/CPCUart.h"
#include "link/PortNames.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace orven {

namespace {

using Clock = std::chrono::steady_clock;

// After a whole reply, how long the line must stay quiet to say that nothing trails it.
constexpr auto kQuietAfterReply = std::chrono::milliseconds(20);
constexpr std::chrono::milliseconds kPoll{2};
constexpr std::size_t kReadChunk = 128;

// One identify exchange as the line saw it.
struct Exchange {
    bool anyByte = false;
    bool echoed = false;      // the first 32 bytes back were the frame sent
    bool replied = false;     // a reply came whole
    bool replyValid = false;  // with the frame prefix and a good checksum
    bool trailing = false;    // bytes came after it
    double replyMs = 0;       // from the end of the frame sent to the end of the reply
};

bool Valid(const std::uint8_t* reply) {
    return CheckReply(reply, ReplyCheck::Prefix) && CheckReply(reply, ReplyCheck::Checksum);
}

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

Exchange SerialExchange(CPCUart& port, std::chrono::milliseconds window) {
    const CloneFrame frame = MakeIdentifyFrame();
    const std::uint8_t* sent = FrameBytes(frame);
    Exchange x;
    port.DropInput();
    if (port.Write(sent, kFrameSize) != kResultOk) return x;
    port.Drain();
    const auto start = Clock::now();
    ReplyCollector collector(sent, kFrameSize, kFrameSize);
    std::vector<std::uint8_t> received;
    Clock::time_point complete{};
    while (Clock::now() - start < window && !(collector.Complete() && Clock::now() - complete >= kQuietAfterReply)) {
        port.WaitReadable(kPoll);
        std::uint8_t chunk[kReadChunk];
        std::size_t got = 0;
        if (port.Read(chunk, sizeof chunk, &got) != kResultOk) break;
        if (got == 0) continue;
        received.insert(received.end(), chunk, chunk + got);
        const bool before = collector.Complete();
        collector.Feed(chunk, got);
        if (!before && collector.Complete()) complete = Clock::now();
    }
    x.anyByte = !received.empty();
    x.echoed = received.size() >= kFrameSize && std::equal(sent, sent + kFrameSize, received.begin());
    x.replied = collector.Complete();
    if (x.replied) {
        x.replyValid = Valid(collector.Frame());
        x.trailing = collector.Overrun();
        x.replyMs = Milliseconds(complete - start);
    }
    return x;
}

Exchange UsbExchange(CHidDevice& device, std::chrono::milliseconds window) {
    const CloneFrame frame = MakeIdentifyFrame();
    Exchange x;
    const int timeout = static_cast<int>(window.count());
    if (!device.WriteReport(FrameBytes(frame), kFrameSize, timeout)) return x;
    const auto start = Clock::now();
    std::uint8_t reply[kFrameSize];
    x.anyByte = x.echoed = x.replied = device.ReadReport(reply, kFrameSize, timeout) != 0;
    if (!x.replied) return x;
    x.replyMs = Milliseconds(Clock::now() - start);
    x.replyValid = Valid(reply);
    return x;  // a report is whole or missing: nothing can trail it
}

// Where to find out which port is the adaptor's.
constexpr ReaderText kFindThePortFix{
    "check that the adaptor is plugged in and that this is its port (orven-cli ports)",
    "check that the adaptor is plugged in and that this is its port (press Scan COMx: each port's tooltip in the "
    "port list names its device)"};
// How each reader switches fast transfer on.
constexpr ReaderText kFastTransfer{"--fast", "Clone > Fast Transfer"};

std::string UseRate(std::uint32_t baud, CheckReader reader) {
    const std::string rate = std::to_string(baud);
    return reader == CheckReader::Window ? "choose " + rate + " in the baud rate list beside the port"
                                         : "use -b " + rate;
}

std::string Ms(double ms) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", ms);
    return text;
}

void EchoLine(ConnectionReport& report, const std::vector<Exchange>& xs) {
    const bool any = std::any_of(xs.begin(), xs.end(), [](const Exchange& x) { return x.anyByte; });
    const auto echoed = std::count_if(xs.begin(), xs.end(), [](const Exchange& x) { return x.echoed; });
    const std::string of = " of " + std::to_string(xs.size());
    if (!any)
        report.lines.push_back({CheckStatus::Fail, "nothing came back: the adaptor does not echo the frame sent",
                                kFindThePortFix.For(report.reader)});
    else if (echoed == 0)
        report.lines.push_back({CheckStatus::Fail, "the adaptor does not echo exactly what is sent",
                                "this adaptor's chip does not work with the radio's cable: try another adaptor"});
    else if (echoed < static_cast<std::ptrdiff_t>(xs.size()))
        report.lines.push_back({CheckStatus::Warn,
                                "the adaptor garbled the echo of " + std::to_string(xs.size() - echoed) + of + " frames",
                                "a loose plug, a worn cable or a failing adaptor: each garbled frame is sent again, "
                                "and a transfer fails when one is garbled three times; check the cable and its plug, or "
                                "try another adaptor"});
    else
        report.lines.push_back({CheckStatus::Ok, "the adaptor echoes what is sent", {}});
}

// The verdict on the replies, their timing, and whether fast transfer suits the link.
void ReplyLines(ConnectionReport& report, const std::vector<Exchange>& xs, const std::string& rate) {
    std::vector<double> times;
    std::size_t invalid = 0, trailing = 0;
    for (const Exchange& x : xs) {
        if (x.replied && x.replyValid) times.push_back(x.replyMs);
        if (x.replied && !x.replyValid) ++invalid;
        if (x.trailing) ++trailing;
    }
    const std::string of = " of " + std::to_string(xs.size());
    if (times.empty() && invalid > 0) {
        report.lines.push_back({CheckStatus::Fail, "the radio answers, but " + std::to_string(invalid) + of +
                                                       " replies fail their checks (prefix or checksum)",
                                "a noisy line: check the cable and its plug, or try a lower baud rate"});
        return;
    }
    if (times.empty()) {
        report.lines.push_back({CheckStatus::Fail, "the radio does not answer the identify frame" + rate,
                                "switch the radio on, put it into clone mode and check the cable to the radio"});
        return;
    }
    report.radioAnswers = true;
    std::sort(times.begin(), times.end());
    report.lines.push_back({invalid ? CheckStatus::Warn : CheckStatus::Ok,
                            "the radio answers" + rate + " in " + Ms(times[times.size() / 2]) + " ms (min " +
                                Ms(times.front()) + ", median " + Ms(times[times.size() / 2]) + ", max " +
                                Ms(times.back()) + " ms over " + std::to_string(times.size()) + of + " exchanges)",
                            invalid ? "some replies failed their checks: check the cable" : ""});
    const std::string fast = kFastTransfer.For(report.reader);
    if (trailing == 0 && invalid == 0)
        report.lines.push_back({CheckStatus::Ok,
                                "fast transfer suits this link: the replies come whole with nothing after them (" +
                                    fast + rate + ")",
                                {}});
    else
        report.lines.push_back({CheckStatus::Warn, "fast transfer does not suit this link: bytes came after replies",
                                "keep the product timing (leave " + fast + " off)"});
}

std::chrono::milliseconds Window(const CloneTiming& timing) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(timing.pollPeriod * timing.pollCount);
}

// When the adaptor echoes but the radio is silent at this rate, another rate may be the radio's.
void TryOtherRates(ConnectionReport& report, const std::string& device, unsigned tried, const CloneTiming& timing) {
    for (const std::uint32_t baud : kBaudTable) {
        if (baud == tried) continue;
        CPCUart port;
        if (!port.OpenPath(device, baud)) return;
        const Exchange x = SerialExchange(port, Window(timing));
        if (x.replied && x.replyValid) {
            report.lines.back().fix =
                "the radio answers at " + std::to_string(baud) + " baud: " + UseRate(baud, report.reader);
            return;
        }
    }
}

void SerialLinkChecks(ConnectionReport& report, const std::string& device, unsigned baud, const CloneTiming& timing) {
    CPCUart port;
    if (!port.OpenPath(device, baud)) return;
    std::vector<Exchange> xs;
    for (int i = 0; i < kCheckExchanges; ++i) {
        xs.push_back(SerialExchange(port, Window(timing)));
        if (!xs.back().anyByte && i > 0) break;  // a silent line says so twice; no need for five
    }
    port.Close();
    EchoLine(report, xs);
    if (report.lines.back().status == CheckStatus::Fail) return;
    ReplyLines(report, xs, " at " + std::to_string(baud) + " baud");
    if (!report.radioAnswers) TryOtherRates(report, device, baud, timing);
}

void UsbLinkChecks(ConnectionReport& report, CHidDevice& device, const CloneTiming& timing) {
    std::vector<Exchange> xs;
    for (int i = 0; i < kCheckExchanges; ++i) xs.push_back(UsbExchange(device, Window(timing)));
    ReplyLines(report, xs, "");
}

}  // namespace

ConnectionReport CheckConnection(const CloneJob& job, const SystemPaths& paths, bool probeSystem,
                                 CheckReader reader) {
    ConnectionReport report;
    report.reader = reader;
    const unsigned baud = BaudOfIndex(job.state->baudIndex);
    bool openable = true;
    if (job.state->comPort != 0 || !job.serialDevice.empty()) {
        const std::string device = job.serialDevice.empty() ? ComPortDevice(job.state->comPort) : job.serialDevice;
        const std::string name = !job.portName.empty()       ? job.portName
                                 : !job.serialDevice.empty() ? job.serialDevice
                                                             : ComPortName(job.state->comPort);
        report.lines = ProbeSerialPort(name, device, baud, paths, openable, reader);
        if (openable) SerialLinkChecks(report, device, baud, job.timing);
    } else {
        CHidDevice& device = job.hidDevice ? *job.hidDevice : HidDeviceObject();
        if (probeSystem) {
            report.lines = ProbeUsbRadio(device, paths, openable);
        } else {
            report.lines.push_back({CheckStatus::Ok, kDemoRadioCheckText, {}});
            openable = device.IsPresent() || device.FindDevice();
        }
        if (openable) UsbLinkChecks(report, device, job.timing);
    }
    if (!openable && !probeSystem)
        report.lines.push_back({CheckStatus::Fail, "the radio does not open", "plug the radio in and switch it on"});
    else if (!openable)
        report.lines.push_back({CheckStatus::Fail, "the radio was not tried: the port does not open", "see above"});
    return report;
}

std::string ChecklistText(const ConnectionReport& report) {
    std::string text;
    for (const CheckLine& line : report.lines) {
        char status[8];
        std::snprintf(status, sizeof status, "%-4s ", StatusWord(line.status));
        text += status + line.text + "\n";
        if (!line.fix.empty()) text += "     fix: " + line.fix + "\n";
    }
    return text;
}

}  // namespace orven
