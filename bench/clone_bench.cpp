// Times full clone operations against the simulated radio, paced like a real line, in the
// product's timing and in fast transfer, and compares each with what the line itself allows.
// --breakdown shows where the time of one serial exchange goes instead.
//
//   orven-bench [--ops read,write,verify,backed-up-write] [--links 9600,115200,usb] [--timings product,fast]
//               [--markdown docs/performance.md]
//   orven-bench --breakdown 9600,115200 [--exchanges N]
#include "clone/CPcUartClone.h"
#include "clone/CloneEvent.h"
#include "clone/CloneRunner.h"
#include "sim/RecordingProgress.h"
#include "files/Paths.h"
#include "files/RadioArchive.h"
#include "link/CHidDevice.h"
#include "model/ModelPresets.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedHidBackend.h"
#include "sim/SimulatedRadioPty.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace orven;
using Clock = std::chrono::steady_clock;

constexpr int kExchangesRead = 79;   // two identify exchanges and 77 chunks
// One identify exchange and 77 chunks, then the read-back of the identities every write ends
// with: one identify exchange and the 3 chunks that hold them.
constexpr int kExchangesWrite = 78 + 4;
constexpr double kUsbReportLatencyS = 0.001;

struct Row {
    std::string link, timing, op;
    double seconds = 0, limit = 0;
    CloneResult result = kResultOk;
};

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');)
        if (!item.empty()) items.push_back(item);
    return items;
}

int Exchanges(const std::string& op) {
    if (op == "backed-up-write") return kExchangesRead + kExchangesWrite;
    return op == "write" ? kExchangesWrite : kExchangesRead;
}

// What the line needs: the echo and the reply of every exchange at 10 bits a byte on serial,
// one output and one input report a millisecond each on USB.
double LineLimit(const std::string& link, const std::string& op) {
    if (link == "usb") return Exchanges(op) * 2 * kUsbReportLatencyS;
    const double baud = std::stod(link);
    return Exchanges(op) * 2 * kFrameSize * double{kLineBitsPerByte} / baud;
}

CloneResult RunOp(const std::string& op, CloneJob& job, RadioSettings& document) {
    // Whatever the write does to the radio's identities is meant.
    WriteOptions confirmed;
    confirmed.confirmIdentityChange = [](const IdentityChanges&) { return true; };
    if (op == "read") return RunRead(job, document).result;
    if (op == "write") return RunWrite(job, document, confirmed).result;
    if (op == "backed-up-write") {
        const RadioArchive archive(JoinPath(job.workDir, "bench-archive"));
        CloneJob backedUp = job;
        backedUp.archive = &archive;
        return RunWrite(backedUp, document, confirmed).result;
    }
    return RunVerify(job, document, LocalReportTime()).result;
}

Row Measure(const std::string& link, const std::string& timing, const std::string& op, const std::string& workDir) {
    Row row{link, timing, op};
    row.limit = LineLimit(link, op);
    AppState state = FreshAppState();
    RecordingProgress progress;
    CloneJob job;
    job.state = &state;
    job.progress = &progress;
    job.workDir = workDir;
    job.timing.fast = timing == "fast";
    auto document = std::make_unique<RadioSettings>();
    BuildModelDocument(*document, kModelEurInt, 0);
    CloneStopEvent.Reset();

    SimulatedRadioPty pty;
    CHidDevice usb(kUsbVendorId, kUsbProductId);
    if (link == "usb") {
        auto backend = std::make_shared<SimulatedHidBackend>();
        backend->WithRadio([](SimulatedRadio& r) {
            FillDemoMemory(r.Memory());
            r.Faults().usbLatency = std::chrono::milliseconds(1);
        });
        usb.SetBackend(backend);
        job.hidDevice = &usb;
    } else {
        const auto baud = static_cast<std::uint32_t>(std::stoul(link));
        pty.WithRadio([baud](SimulatedRadio& r) {
            FillDemoMemory(r.Memory());
            r.Faults().baud = baud;
        });
        pty.Start();
        job.serialDevice = pty.DevicePath();
        state.baudIndex = static_cast<int>(std::find(kBaudTable.begin(), kBaudTable.end(), baud) - kBaudTable.begin());
    }
    const auto start = Clock::now();
    row.result = RunOp(op, job, *document);
    row.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return row;
}

std::string Table(const std::vector<Row>& rows) {
    std::string out =
        "| link | timing | operation | elapsed (s) | line limit (s) | ratio | result |\n"
        "|---|---|---|---:|---:|---:|---|\n";
    for (const Row& r : rows) {
        char line[256];
        std::snprintf(line, sizeof line, "| %s | %s | %s | %.3f | %.3f | %.2f | %s |\n",
                      r.link == "usb" ? "USB (1 ms reports)" : (r.link + " baud serial").c_str(), r.timing.c_str(),
                      r.op.c_str(), r.seconds, r.limit, r.seconds / r.limit, r.result == kResultOk ? "OK" : "FAILED");
        out += line;
    }
    return out;
}

double Microseconds(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

struct Spread {
    double mean = 0, median = 0, p90 = 0;
};

Spread SpreadOf(std::vector<double> values) {
    Spread s;
    if (values.empty()) return s;
    std::sort(values.begin(), values.end());
    for (double v : values) s.mean += v / static_cast<double>(values.size());
    s.median = values[values.size() / 2];
    s.p90 = values[values.size() * 9 / 10];
    return s;
}

// When each exchange's last reply byte reaches the PC, reading the bare line as fast as it can,
// past the line limit of the exchange (echo and reply, 64 byte times).
Spread LastByteLateness(const SimulatedRadioPty& pty, std::uint32_t baud, int exchanges, double limitUs) {
    CPCUart port;
    if (!port.OpenPath(pty.DevicePath(), baud)) return {};
    const CloneFrame identify = MakeIdentifyFrame();
    std::vector<double> late;
    for (int i = 0; i < exchanges; ++i) {
        const auto start = Clock::now();
        if (port.Write(FrameBytes(identify), kFrameSize) != kResultOk) return {};
        for (std::size_t got = 0; got < 2 * kFrameSize;) {
            pollfd ready{port.Handle(), POLLIN, 0};
            if (::poll(&ready, 1, 1000) <= 0) return {};
            std::uint8_t bytes[2 * kFrameSize];
            std::size_t n = 0;
            if (port.Read(bytes, std::min(sizeof bytes, 2 * kFrameSize - got), &n) != kResultOk) return {};
            got += n;
        }
        late.push_back(Microseconds(Clock::now() - start) - limitUs);
    }
    return SpreadOf(late);
}

// Whole identify exchanges through the serial engine in fast transfer, past the line limit.
Spread FastExchangeOverrun(const SimulatedRadioPty& pty, std::uint32_t baud, int exchanges, double limitUs) {
    AppState state = FreshAppState();
    state.baudIndex = static_cast<int>(std::find(kBaudTable.begin(), kBaudTable.end(), baud) - kBaudTable.begin());
    auto settings = std::make_unique<RadioSettings>();
    RecordingProgress progress;
    CPcUartClone engine;
    engine.SetDevicePath(pty.DevicePath());
    engine.SetAppState(&state);
    engine.SetSettings(settings.get());
    engine.SetProgress(&progress);
    CloneTiming timing = kProductTiming;
    timing.fast = true;
    engine.SetTiming(timing);
    CloneStopEvent.Reset();
    std::vector<double> over;
    for (int i = 0; i < exchanges; ++i) {
        const auto start = Clock::now();
        if (engine.HandShake() != kResultOk) return {};
        over.push_back(Microseconds(Clock::now() - start) - limitUs);
    }
    return SpreadOf(over);
}

int Breakdown(const std::string& links, int exchanges) {
    std::printf("link     byte time  line limit | last reply byte late: mean  median  p90 | quiet gap"
                " | fast exchange over the limit: mean  median  p90   ratio  (microseconds)\n");
    for (const auto& link : Split(links)) {
        const auto baud = static_cast<std::uint32_t>(std::stoul(link));
        SimulatedRadioPty pty;
        pty.WithRadio([baud](SimulatedRadio& r) { r.Faults().baud = baud; });
        if (!pty.Start()) return 1;
        const double byteUs = double{kLineBitsPerByte} * 1e6 / baud;
        const double limitUs = 2 * kFrameSize * byteUs;
        const Spread late = LastByteLateness(pty, baud, exchanges, limitUs);
        const Spread over = FastExchangeOverrun(pty, baud, exchanges, limitUs);
        const double gapUs = std::max(kFastQuietBits * 1e6 / baud, Microseconds(kFastMinQuietGap));
        std::printf("%-8s %9.1f %11.1f | %26.0f %7.0f %4.0f | %9.0f | %34.0f %7.0f %4.0f  %6.3f\n", link.c_str(),
                    byteUs, limitUs, late.mean, late.median, late.p90, gapUs, over.mean, over.median, over.p90,
                    (limitUs + over.mean) / limitUs);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string ops = "read,write,verify", links = "9600,115200,usb", timings = "product,fast", markdown, breakdown;
    int exchanges = 200;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        if (key == "--ops") ops = argv[i + 1];
        else if (key == "--links") links = argv[i + 1];
        else if (key == "--timings") timings = argv[i + 1];
        else if (key == "--markdown") markdown = argv[i + 1];
        else if (key == "--breakdown") breakdown = argv[i + 1];
        else if (key == "--exchanges") exchanges = std::max(1, std::atoi(argv[i + 1]));
        else {
            std::fprintf(stderr, "unknown option %s\n", key.c_str());
            return 2;
        }
    }
    if (!breakdown.empty()) return Breakdown(breakdown, exchanges);
    const std::string workDir = CurrentDirectory();
    std::vector<Row> rows;
    bool failed = false;
    for (const auto& link : Split(links))
        for (const auto& timing : Split(timings))
            for (const auto& op : Split(ops)) {
                rows.push_back(Measure(link, timing, op, workDir));
                const Row& r = rows.back();
                failed |= r.result != kResultOk;
                std::printf("%-8s %-8s %-7s %8.3f s  limit %7.3f s  ratio %6.2f  %s\n", r.link.c_str(),
                            r.timing.c_str(), r.op.c_str(), r.seconds, r.limit, r.seconds / r.limit,
                            r.result == kResultOk ? "OK" : "FAILED");
                std::fflush(stdout);
            }
    if (!markdown.empty()) std::ofstream(markdown) << Table(rows);
    return failed ? 1 : 0;
}
