// What the system says about the way to a radio, before anything is sent: the serial port's
// device node, whether this user may open it and why not, who holds it, ModemManager; the USB
// radio, its hidraw node, its permissions and the udev rule. Each finding is one line of a
// checklist with, for a failure or a warning, the one-line fix.
#pragma once

#include <string>
#include <vector>

namespace orven {

class CHidDevice;

enum class CheckStatus { Ok, Warn, Fail };

struct CheckLine {
    CheckStatus status = CheckStatus::Ok;
    std::string text;  // what was found
    std::string fix;   // what to do about a failure or a warning
};

// "OK", "WARN", "FAIL".
inline const char* StatusWord(CheckStatus status) {
    switch (status) {
    case CheckStatus::Ok: return "OK";
    case CheckStatus::Warn: return "WARN";
    case CheckStatus::Fail: break;
    }
    return "FAIL";
}

// Who reads a checklist: each fix names the controls that reader has, the command line's options
// or the window's lists and menus.
enum class CheckReader { CommandLine, Window };

// A text in the words of each reader.
struct ReaderText {
    const char* commandLine;
    const char* window;
    const char* For(CheckReader reader) const { return reader == CheckReader::Window ? window : commandLine; }
};

// Where the probes look; tests point them at folders of their own.
struct SystemPaths {
    std::string sysfs = "/sys";
    std::string dev = "/dev";
    std::string proc = "/proc";
    std::vector<std::string> udevRules = {"/etc/udev/rules.d", "/run/udev/rules.d", "/usr/lib/udev/rules.d",
                                          "/lib/udev/rules.d"};
};

// The name the udev rule is installed under, and where a user puts it by hand.
inline constexpr const char* kUdevRuleName = "70-orven-radio.rules";
inline constexpr const char* kUdevRuleHome = "/etc/udev/rules.d";

// The serial port `portName` (as the user named it) on `device`: node, permission (group and
// login session), holder, ModemManager, line settings at `baud`. `openable` tells the caller
// whether the link checks can go on.
std::vector<CheckLine> ProbeSerialPort(const std::string& portName, const std::string& device, unsigned baud,
                                       const SystemPaths& paths, bool& openable,
                                       CheckReader reader = CheckReader::CommandLine);

// The USB radio (0483:5750): attached, its hidraw node, whether this user may open it (through
// `device`, whose backend may be simulated), the udev rule.
std::vector<CheckLine> ProbeUsbRadio(CHidDevice& device, const SystemPaths& paths, bool& openable);

}  // namespace orven
