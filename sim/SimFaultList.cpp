#include "sim/SimFaultList.h"

#include "GlobalDef.h"
#include "clone/CloneFrame.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <string>

namespace orven {

namespace {

using Setter = std::function<void(SimFaults&, std::uint32_t)>;

enum class Takes { Nothing, Number, Address, ReplyByte, EchoByte };

struct FaultName {
    Takes takes;
    Setter set;
};

const std::map<std::string, FaultName>& Names() {
    using ms = std::chrono::milliseconds;
    static const std::map<std::string, FaultName> names = {
        {"no-echo", {Takes::Nothing, [](SimFaults& f, std::uint32_t) { f.noEcho = true; }}},
        {"no-radio", {Takes::Nothing, [](SimFaults& f, std::uint32_t) { f.noRadio = true; }}},
        {"garbled-echo", {Takes::EchoByte, [](SimFaults& f, std::uint32_t n) { f.garbledEchoByte = n; }}},
        {"noise", {Takes::Number, [](SimFaults& f, std::uint32_t n) { f.noiseBytes = n; }}},
        {"stray-dollar", {Takes::Nothing, [](SimFaults& f, std::uint32_t) { f.strayDollar = true; }}},
        {"split", {Takes::Number, [](SimFaults& f, std::uint32_t n) { f.replyPieces = n ? n : 1; f.pieceDelay = ms(30); }}},
        {"bad-checksum", {Takes::Nothing, [](SimFaults& f, std::uint32_t) { f.badChecksum = true; }}},
        {"bad-prefix", {Takes::Nothing, [](SimFaults& f, std::uint32_t) { f.badPrefix = true; }}},
        {"wrong-ack", {Takes::Nothing, [](SimFaults& f, std::uint32_t) { f.wrongAck = true; }}},
        {"delay", {Takes::Number, [](SimFaults& f, std::uint32_t n) { f.replyDelay = ms(n); }}},
        {"silent-after", {Takes::Number, [](SimFaults& f, std::uint32_t n) { f.silentAfterFrames = n; }}},
        {"baud", {Takes::Number, [](SimFaults& f, std::uint32_t n) { f.baud = n; }}},
        {"stuck", {Takes::Address, [](SimFaults& f, std::uint32_t n) { f.stuckAddress = static_cast<std::uint16_t>(n); }}},
        {"repeat", {Takes::ReplyByte, [](SimFaults& f, std::uint32_t n) { f.lineFault = {LineFault::Kind::Duplicate, n}; }}},
        {"first", {Takes::Number, [](SimFaults& f, std::uint32_t n) { f.scope.firstFrames = n; }}},
        {"every", {Takes::Number, [](SimFaults& f, std::uint32_t n) { f.scope.everyFrame = n; }}},
        {"gap", {Takes::Number, [](SimFaults& f, std::uint32_t n) { f.minFrameGap = ms(n); }}},
    };
    return names;
}

// Decimal, or hexadecimal after "0x".
bool ParseNumber(const std::string& text, std::uint32_t& number) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, number, hex ? 16 : 10);
    return first != last && ec == std::errc() && end == last;
}

std::string AddressRangeText() {
    char text[32];
    std::snprintf(text, sizeof text, "0x%04X to 0x%04X", kCloneFirst, kCloneLast);
    return text;
}

// Empty when the value suits the fault, else why not.
std::string CheckValue(const std::string& name, Takes takes, const std::string& value, std::uint32_t& number) {
    if (takes == Takes::Number && !ParseNumber(value, number))
        return "fault " + name + " needs a number (" + name + "=N)";
    if (takes == Takes::Address && (!ParseNumber(value, number) || number < kCloneFirst || number > kCloneLast))
        return "fault " + name + " needs an address from " + AddressRangeText() + ", not '" + value + "'";
    if ((takes == Takes::ReplyByte || takes == Takes::EchoByte) && (!ParseNumber(value, number) || number >= kFrameSize))
        return "fault " + name + " needs a byte of the " + (takes == Takes::ReplyByte ? "reply" : "echo") + " from 0 to " +
               std::to_string(kFrameSize - 1);
    return {};
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
        const Takes takes = found->second.takes;
        if (takes == Takes::Nothing && eq != std::string::npos) return error = "fault " + name + " takes no value", false;
        std::uint32_t number = 0;
        const std::string value = eq == std::string::npos ? "" : item.substr(eq + 1);
        if (takes != Takes::Nothing && !(error = CheckValue(name, takes, value, number)).empty()) return false;
        found->second.set(parsed, number);
    }
    faults = parsed;
    return true;
}

std::string FaultNamesHelp() {
    return "Comma-separated faults: no-echo, no-radio, garbled-echo=BYTE (the adaptor echoes that byte of the frame, "
           "0 to 31, with a bit flipped), noise=N, stray-dollar, split=N, bad-checksum, "
           "bad-prefix, wrong-ack, delay=MS, silent-after=N, baud=RATE, stuck=ADDRESS (a byte that keeps its value, " +
           AddressRangeText() +
           "), repeat=N (byte N of each reply comes twice), first=N (the faults hit frames 1 to N alone), every=N "
           "(they hit frames N, 2N, 3N... alone), gap=MS (a frame sooner than MS after the last reply goes unheard). "
           "Numbers are decimal or hexadecimal (0x...)";
}

}  // namespace orven
