// Times whole clone operations against the simulated radio, paced like a real line, in the
// product's timing and in fast transfer, side by side with the ideal client (a client that knows
// where each reply ends) on the same radio, and with what the line itself allows.
// --breakdown shows where the time of one serial exchange goes instead; --fleet, how a fleet run
// scales with its number of ports.
//
//   orven-bench [--ops read,write,verify,backed-up-write] [--links 9600,115200,usb] [--timings product,fast]
//               [--repeat N] [--busy N] [--markdown FILE]
//   orven-bench --breakdown 9600,115200 [--exchanges N] [--busy N]
//   orven-bench --fleet 1,2,4,8 [--links 9600] [--timings fast] [--markdown FILE]
//
// Each fast row and the ideal client take turns, --repeat times (3 by default), and the medians are
// compared, so that whatever else the machine does falls on both alike; the product's timing is
// run once. --busy N keeps N more processes busy meanwhile (a machine under load).
#include "bench/BenchLink.h"
#include "bench/Breakdown.h"
#include "bench/BusyLoad.h"
#include "bench/FleetBench.h"
#include "bench/IdealClient.h"
#include "clone/CloneEvent.h"
#include "files/Paths.h"
#include "files/RadioArchive.h"
#include "model/ModelPresets.h"
#include "sim/DemoRadio.h"
#include "sim/RecordingProgress.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace orven;
using namespace orven::bench;

struct Options {
    std::string ops = "read,write,verify", links = "9600,115200,usb", timings = "product,fast", markdown, breakdown, fleet;
    int exchanges = 200;
    int repeat = 3;
    int busy = 0;
};

struct Row {
    std::string link, timing, op;
    std::vector<double> seconds, ideal;
    double limit = 0;
    bool ok = true;
    int fellBack = 0;          // turns that went over to the product's timing
    std::uint32_t frames = 0;  // the radio got in the last turn, and the ideal client sends
    std::size_t idealFrames = 0;
};

// "OK", with what makes the comparison with the ideal client unequal.
std::string Result(const Row& r) {
    std::string said = r.ok ? "OK" : "FAILED";
    if (r.fellBack > 0) said += ", " + std::to_string(r.fellBack) + " fell back";
    if (r.frames != r.idealFrames)
        said += ", " + std::to_string(r.frames) + " frames (ideal " + std::to_string(r.idealFrames) + ")";
    return said;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

CloneOutcome RunOp(const std::string& op, CloneJob& job, RadioSettings& document) {
    // Whatever the write does to the radio's identities is meant.
    WriteOptions confirmed;
    confirmed.confirmIdentityChange = [](const IdentityChanges&) { return true; };
    if (op == "read") return RunRead(job, document);
    if (op == "write") return RunWrite(job, document, confirmed);
    if (op == "backed-up-write") {
        const RadioArchive archive(JoinPath(job.workDir, "bench-archive"));
        CloneJob backedUp = job;
        backedUp.archive = &archive;
        return RunWrite(backedUp, document, confirmed);
    }
    return RunVerify(job, document, LocalReportTime());
}

// One operation through the command runner, as the command line runs it.
double MeasureEngine(BenchLink& link, const std::string& timing, const std::string& op, Row& row) {
    AppState state = FreshAppState();
    RecordingProgress progress;
    CloneJob job;
    job.state = &state;
    job.progress = &progress;
    job.workDir = CurrentDirectory();
    job.timing.fast = timing == "fast";
    link.Attach(job, state);
    auto document = std::make_unique<RadioSettings>();
    BuildModelDocument(*document, kModelEurInt, 0);
    CloneStopEvent.Reset();
    const std::uint32_t framesBefore = link.FramesReceived();
    const auto start = Clock::now();
    const CloneOutcome outcome = RunOp(op, job, *document);
    const double took = Seconds(Clock::now() - start);
    row.ok = row.ok && outcome.Ok();
    row.fellBack += outcome.fellBack ? 1 : 0;
    row.frames = link.FramesReceived() - framesBefore;
    return took;
}

double MeasureIdeal(BenchLink& link, const std::vector<CloneFrame>& frames, bool& ok) {
    const auto took = RunIdealClient(link, frames);
    ok = ok && took.has_value();
    return took ? Seconds(*took) : 0;
}

void PrintRow(const Row& r) {
    const double s = Median(r.seconds), ideal = Median(r.ideal);
    std::printf("%-8s %-8s %-16s %8.3f s  ideal %7.3f s  ratio %5.3f  limit %7.3f s  ratio %6.2f  %s\n",
                r.link.c_str(), r.timing.c_str(), r.op.c_str(), s, ideal, s / ideal, r.limit, s / r.limit,
                Result(r).c_str());
    std::fflush(stdout);
}

// Every operation of one link: the ideal client and each timing by turns.
std::vector<Row> MeasureLink(const std::string& name, const Options& o, bool& ok) {
    BenchLink link(name);
    if (!link.Start()) {
        std::fprintf(stderr, "cannot start the simulated radio for link %s\n", name.c_str());
        ok = false;
        return {};
    }
    const auto demo = std::make_unique<RadioImage>();
    FillDemoMemory(*demo);
    std::vector<Row> rows;
    for (const std::string& op : Split(o.ops)) {
        const std::vector<CloneFrame> frames = OperationFrames(op, *demo);
        std::vector<Row> opRows;
        for (const std::string& timing : Split(o.timings))
            opRows.push_back({link.Title(), timing, op, {}, {}, link.LineLimitSeconds(frames.size()), true, 0, 0,
                              frames.size()});
        std::vector<double> ideal;
        bool idealOk = true;
        for (int turn = 0; turn < o.repeat; ++turn) {
            ideal.push_back(MeasureIdeal(link, frames, idealOk));
            for (Row& r : opRows)
                if (r.timing != "product" || turn == 0) r.seconds.push_back(MeasureEngine(link, r.timing, op, r));
        }
        for (Row& r : opRows) {
            r.ideal = ideal;
            r.ok = r.ok && idealOk;
            ok = ok && r.ok;
            PrintRow(r);
            rows.push_back(r);
        }
    }
    return rows;
}

std::string Table(const std::vector<Row>& rows) {
    std::string out =
        "| link | timing | operation | elapsed (s) | ideal client (s) | ratio to ideal | line limit (s) | ratio to limit "
        "| result |\n|---|---|---|---:|---:|---:|---:|---:|---|\n";
    for (const Row& r : rows) {
        const double s = Median(r.seconds), ideal = Median(r.ideal);
        char line[320];
        std::snprintf(line, sizeof line, "| %s | %s | %s | %.3f | %.3f | %.3f | %.3f | %.2f | %s |\n", r.link.c_str(),
                      r.timing.c_str(), r.op.c_str(), s, ideal, s / ideal, r.limit, s / r.limit, Result(r).c_str());
        out += line;
    }
    return out;
}

// The first serial link, fast unless only the product's timing is asked for.
int RunFleet(const Options& o) {
    const std::string link = Split(o.links).front();
    if (link.find_first_not_of("0123456789") != std::string::npos) {
        std::fprintf(stderr, "--fleet runs serial ports: --links takes a baud rate\n");
        return 2;
    }
    return bench::FleetBench(o.fleet, static_cast<std::uint32_t>(std::stoul(link)),
                             o.timings.find("fast") != std::string::npos, o.markdown);
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; i += 2) {
        const std::string key = argv[i];
        if (i + 1 >= argc) {
            std::fprintf(stderr, "%s needs a value\n", key.c_str());
            return false;
        }
        const std::string value = argv[i + 1];
        if (key == "--ops") o.ops = value;
        else if (key == "--links") o.links = value;
        else if (key == "--timings") o.timings = value;
        else if (key == "--markdown") o.markdown = value;
        else if (key == "--breakdown") o.breakdown = value;
        else if (key == "--fleet") o.fleet = value;
        else if (key == "--exchanges") o.exchanges = std::max(1, std::atoi(value.c_str()));
        else if (key == "--repeat") o.repeat = std::max(1, std::atoi(value.c_str()));
        else if (key == "--busy") o.busy = std::max(0, std::atoi(value.c_str()));
        else {
            std::fprintf(stderr, "unknown option %s\n", key.c_str());
            return false;
        }
    }
    for (const std::string& op : Split(o.ops))
        if (!KnownOperation(op)) {
            std::fprintf(stderr, "unknown operation %s\n", op.c_str());
            return false;
        }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) return 2;
    const BusyLoad load(o.busy);  // before any thread starts
    if (o.busy > 0) std::fprintf(stderr, "with %d busy process(es) beside the benchmark\n", load.Running());
    if (!o.breakdown.empty()) return PrintBreakdown(o.breakdown, o.exchanges) ? 0 : 1;
    if (!o.fleet.empty()) return RunFleet(o);
    std::vector<Row> rows;
    bool ok = true;
    for (const std::string& link : Split(o.links)) {
        std::vector<Row> linkRows = MeasureLink(link, o, ok);
        rows.insert(rows.end(), linkRows.begin(), linkRows.end());
    }
    if (!o.markdown.empty()) std::ofstream(o.markdown) << Table(rows);
    return ok ? 0 : 1;
}
