#include "bench/FleetBench.h"

#include "bench/BenchLink.h"

#include "clone/CloneEvent.h"
#include "clone/FleetRun.h"
#include "files/RadioArchive.h"
#include "files/SettingsFile.h"
#include "model/ModelPresets.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedRadioPty.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

namespace orven::bench {

namespace {

using Clock = std::chrono::steady_clock;

struct FleetRow {
    int radios = 0;
    double seconds = 0, cpuPerRadio = 0, peakMiB = 0;
    int programmed = 0;
};

class QuietSink : public FleetSink {
public:
    void PortChanged(std::size_t, const PortStatus&) override {}
    void RadioFinished(std::size_t, const RadioReport&) override {}
};

std::string Serial(int i) { return "F" + std::to_string(1000 + i); }

// The simulated radios live in a process of their own, so that the figures are the program's
// alone: it prints their device paths on `pipe` and runs until the pipe's other end closes.
pid_t StartRadios(int k, std::uint32_t baud, std::vector<std::string>& paths) {
    int fds[2], back[2];
    if (pipe(fds) != 0 || pipe(back) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        close(back[1]);
        std::vector<std::unique_ptr<SimulatedRadioPty>> ptys;
        std::string names;
        for (int i = 0; i < k; ++i) {
            auto& pty = ptys.emplace_back(std::make_unique<SimulatedRadioPty>());
            pty->WithRadio([&](SimulatedRadio& r) {
                FillNewRadioMemory(r.Memory(), Serial(i));
                r.Faults().baud = baud;
            });
            if (!pty->Start()) _exit(1);
            names += pty->DevicePath() + "\n";
        }
        if (write(fds[1], names.data(), names.size()) != static_cast<ssize_t>(names.size())) _exit(1);
        close(fds[1]);
        char c;
        while (read(back[0], &c, 1) > 0) {}
        _exit(0);
    }
    close(fds[1]);
    close(back[0]);
    std::string names;
    char buffer[512];
    for (ssize_t n; paths.size() < static_cast<std::size_t>(k) && (n = read(fds[0], buffer, sizeof buffer)) > 0;) {
        names.append(buffer, static_cast<std::size_t>(n));
        paths.clear();
        std::istringstream lines(names);
        for (std::string line; std::getline(lines, line);) paths.push_back(line);
        if (names.back() != '\n') paths.pop_back();
    }
    close(fds[0]);
    // The radios run until this process ends and the pipe's end closes.
    (void)back[1];
    return pid;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// One fleet of k radios, measured in the calling process (a fresh one: the peak memory is its own).
FleetRow MeasureFleet(int k, std::uint32_t baud, bool fast, const std::string& folder) {
    FleetRow row;
    row.radios = k;
    std::vector<std::string> paths;
    if (StartRadios(k, baud, paths) < 0 || paths.size() != static_cast<std::size_t>(k)) return row;

    auto model = std::make_unique<RadioSettings>();
    BuildModelDocument(*model, kModelEurInt, 0);
    const std::string templatePath = folder + "/template.dat", rosterPath = folder + "/roster.csv";
    SaveSettingsFile(templatePath, *model);
    std::ofstream roster(rosterPath);
    roster << "Serial,MMSI\n";
    for (int i = 0; i < k; ++i) roster << Serial(i) << "," << 211000100 + i << "\n";
    roster.close();
    const RadioArchive archive(folder + "/archive");
    const FleetPlanRead read = ReadFleetPlan(templatePath, rosterPath, "", false, &archive, "");
    if (!read.plan) return row;

    AppState state = FreshAppState();
    state.baudIndex = static_cast<int>(std::find(kBaudTable.begin(), kBaudTable.end(), baud) - kBaudTable.begin());
    CloneJob base;
    base.state = &state;
    base.timing.fast = fast;
    base.workDir = folder;
    base.archive = &archive;
    std::vector<std::unique_ptr<FleetPortLink>> ports;
    for (const std::string& path : paths) ports.push_back(MakeFleetPortLink(path, base, *read.plan->model));
    FleetOptions options;
    options.once = true;
    QuietSink sink;
    CloneStopEvent.Reset();
    const double cpu = CpuSeconds();
    const auto start = Clock::now();
    const FleetSummary summary = RunFleet(*read.plan, ports, &archive, sink, options);
    row.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    row.cpuPerRadio = (CpuSeconds() - cpu) / k;
    row.peakMiB = PeakMiB();
    row.programmed = static_cast<int>(summary.programmed);
    return row;
}

// Measures in a child process of its own, handing the figures back through a pipe.
FleetRow MeasureApart(int k, std::uint32_t baud, bool fast) {
    char folder[] = "/tmp/orven-fleet-bench-XXXXXX";
    if (!mkdtemp(folder)) return {};
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const FleetRow row = MeasureFleet(k, baud, fast, folder);
        const ssize_t n = write(fds[1], &row, sizeof row);
        _exit(n == sizeof row ? 0 : 1);
    }
    close(fds[1]);
    FleetRow row;
    row.radios = k;
    if (read(fds[0], &row, sizeof row) != sizeof row) row = FleetRow{k};
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    std::filesystem::remove_all(folder);
    return row;
}

std::string Table(const std::vector<FleetRow>& rows, std::uint32_t baud, bool fast) {
    std::string out = "| radios (ports) | elapsed (s) | against one radio | CPU per radio (s) | peak memory (MiB) | "
                      "programmed |\n|---:|---:|---:|---:|---:|---:|\n";
    for (const FleetRow& r : rows) {
        char line[256];
        std::snprintf(line, sizeof line, "| %d | %.2f | %.2fx | %.3f | %.1f | %d of %d |\n", r.radios, r.seconds,
                      rows.front().seconds > 0 ? r.seconds / rows.front().seconds : 0.0, r.cpuPerRadio, r.peakMiB,
                      r.programmed, r.radios);
        out += line;
    }
    return out + "\n(" + std::to_string(baud) + " baud, " + (fast ? "fast" : "product") + " timing)\n";
}

}  // namespace

int FleetBench(const std::string& sizes, std::uint32_t baud, bool fast, const std::string& markdown) {
    std::vector<FleetRow> rows;
    bool failed = false;
    for (const std::string& size : Split(sizes)) {
        const int k = std::max(1, std::atoi(size.c_str()));
        rows.push_back(MeasureApart(k, baud, fast));
        const FleetRow& r = rows.back();
        failed |= r.programmed != k;
        std::printf("%d radios  %7.2f s  %.2fx one  CPU %.3f s a radio  peak %.1f MiB  %d of %d programmed\n", k,
                    r.seconds, rows.front().seconds > 0 ? r.seconds / rows.front().seconds : 0.0, r.cpuPerRadio,
                    r.peakMiB, r.programmed, k);
        std::fflush(stdout);
    }
    if (!markdown.empty()) std::ofstream(markdown) << Table(rows, baud, fast);
    return failed ? 1 : 0;
}

}  // namespace orven::bench
