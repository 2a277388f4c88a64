#include "cli/FaultOptions.h"

#include <charconv>
#include <functional>
#include <map>
#include <sstream>

namespace orven::cli {

namespace {

using Setter = std::function<void(SimFaults&, std::uint32_t)>;

struct FaultName {
    bool takesNumber;
    Setter set;
};

const std::map<std::string, FaultName>& Names() {
    using ms = std::chrono::milliseconds;
    static const std::map<std::string, FaultName> names = {
        {"no-echo", {false, [](SimFaults& f, std::uint32_t) { f.noEcho = true; }}},
        {"no-radio", {false, [](SimFaults& f, std::uint32_t) { f.noRadio = true; }}},
        {"noise", {true, [](SimFaults& f, std::uint32_t n) { f.noiseBytes = n; }}},
        {"stray-dollar", {false, [](SimFaults& f, std::uint32_t) { f.strayDollar = true; }}},
        {"split", {true, [](SimFaults& f, std::uint32_t n) { f.replyPieces = n ? n : 1; f.pieceDelay = ms(30); }}},
        {"bad-checksum", {false, [](SimFaults& f, std::uint32_t) { f.badChecksum = true; }}},
        {"bad-prefix", {false, [](SimFaults& f, std::uint32_t) { f.badPrefix = true; }}},
        {"wrong-ack", {false, [](SimFaults& f, std::uint32_t) { f.wrongAck = true; }}},
        {"delay", {true, [](SimFaults& f, std::uint32_t n) { f.replyDelay = ms(n); }}},
        {"silent-after", {true, [](SimFaults& f, std::uint32_t n) { f.silentAfterFrames = n; }}},
        {"baud", {true, [](SimFaults& f, std::uint32_t n) { f.baud = n; }}},
        {"stuck", {true, [](SimFaults& f, std::uint32_t n) { f.stuckAddress = static_cast<std::uint16_t>(n); }}},
        {"first", {true, [](SimFaults& f, std::uint32_t n) { f.scope.firstFrames = n; }}},
    };
    return names;
}

}  // namespace

bool ParseFaults(const std::string& text, SimFaults& faults, std::string& error) {
    std::stringstream items(text);
    std::string item;
    SimFaults parsed = faults;
    while (std::getline(items, item, ',')) {
        if (item.empty()) continue;
        const auto eq = item.find('=');
        const std::string name = item.substr(0, eq);
        const auto found = Names().find(name);
        if (found == Names().end()) return error = "unknown fault: " + name, false;
        std::uint32_t number = 0;
        if (found->second.takesNumber) {
            const std::string value = eq == std::string::npos ? "" : item.substr(eq + 1);
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
            if (value.empty() || ec != std::errc() || end != value.data() + value.size())
                return error = "fault " + name + " needs a number (" + name + "=N)", false;
        } else if (eq != std::string::npos) {
            return error = "fault " + name + " takes no value", false;
        }
        found->second.set(parsed, number);
    }
    faults = parsed;
    return true;
}

std::string FaultNamesHelp() {
    return "Comma-separated faults: no-echo, no-radio, noise=N, stray-dollar, split=N, bad-checksum, "
           "bad-prefix, wrong-ack, delay=MS, silent-after=N, baud=RATE, stuck=ADDRESS (a byte that keeps its value), first=N";
}

}  // namespace orven::cli
