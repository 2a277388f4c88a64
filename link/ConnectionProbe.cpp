#include "link/ConnectionProbe.h"

#include "GlobalDef.h"
#include "link/CHidDevice.h"
#include "link/CPCUart.h"
#include "link/PortDiagnosis.h"
#include "link/SystemFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <iterator>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orven {

namespace {

// The user's groups as the group database has them now (a fresh `adduser` shows here at once).
bool UserInGroup(gid_t gid) {
    const passwd* user = getpwuid(getuid());
    if (!user) return false;
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count);
    }
    groups.resize(static_cast<std::size_t>(std::max(count, 0)));
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

// The groups this process runs with: what the login session had when it began.
bool SessionHasGroup(gid_t gid) {
    if (getegid() == gid) return true;
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(count, 0)));
    if (count <= 0 || getgroups(count, groups.data()) < 0) return false;
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

bool ProcessRunning(const std::string& proc, const std::string& name) {
    for (const std::string& pid : FolderEntries(proc))
        if (IsDecimal(pid) && FirstLine(proc + "/" + pid + "/comm") == name) return true;
    return false;
}

CheckLine PermissionLine(const std::string& device, const struct stat& node) {
    if (access(device.c_str(), R_OK | W_OK) == 0) return {CheckStatus::Ok, "this user may open " + device, {}};
    const std::string group = GroupName(node.st_gid);
    if (node.st_gid == 0)
        return {CheckStatus::Fail, "this user may not open " + device + " (only root may)",
                "give the adaptor to the dialout group with a udev rule, or ask the administrator"};
    if (!UserInGroup(node.st_gid))
        return {CheckStatus::Fail, "this user may not open " + device + " (it belongs to the group " + group + ")",
                "sudo adduser $USER " + group + ", then log out and in again"};
    if (!SessionHasGroup(node.st_gid))
        return {CheckStatus::Fail,
                "this user is in the group " + group + ", but this login session is not yet (it began before)",
                "log out and in again (or start a shell that has it: newgrp " + group + ")"};
    return {CheckStatus::Fail, "this user may not open " + device, "look at the device's permissions: ls -l " + device};
}

// A USB id as sysfs and udev rules write it: four lower-case hexadecimal digits.
std::string UsbIdText(unsigned id) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", id);
    return text;
}

// sysfs folder of the attached radio, or empty.
std::string AttachedRadio(const SystemPaths& paths) {
    const std::string vendor = UsbIdText(kUsbVendorId), product = UsbIdText(kUsbProductId);
    const std::string devices = paths.sysfs + "/bus/usb/devices";
    for (const std::string& name : FolderEntries(devices))
        if (FirstLine(devices + "/" + name + "/idVendor") == vendor &&
            FirstLine(devices + "/" + name + "/idProduct") == product)
            return name;
    return {};
}

// The radio's hidraw node, or empty.
std::string RadioHidrawNode(const SystemPaths& paths) {
    char id[40];
    std::snprintf(id, sizeof id, "HID_ID=0003:0000%04X:0000%04X", kUsbVendorId, kUsbProductId);
    const std::string hidraw = paths.sysfs + "/class/hidraw";
    for (const std::string& name : FolderEntries(hidraw))
        if (FileText(hidraw + "/" + name + "/device/uevent").find(id) != std::string::npos) return paths.dev + "/" + name;
    return {};
}

// An installed rule that names the radio's ids, or empty.
std::string InstalledRule(const SystemPaths& paths) {
    const std::string vendor = UsbIdText(kUsbVendorId), product = UsbIdText(kUsbProductId);
    for (const std::string& folder : paths.udevRules)
        for (const std::string& name : FolderEntries(folder)) {
            const std::string text = FileText(folder + "/" + name);
            if (name.size() > 6 && name.substr(name.size() - 6) == ".rules" && text.find(vendor) != std::string::npos &&
                text.find(product) != std::string::npos)
                return folder + "/" + name;
        }
    return {};
}

// How to name the adaptor's port instead.
constexpr ReaderText kNameTheDeviceFix{"name the adaptor's serial device (e.g. -p /dev/ttyUSB0)",
                                       "choose the adaptor's port in the port list (each port's tooltip names its "
                                       "device)"};
constexpr ReaderText kPortMissingFix{
    "plug the adaptor in; `orven-cli ports` lists the ports there are and the device of each",
    "plug the adaptor in and press Scan COMx: a port that opens loses its \"-\" in the port list, and each port's "
    "tooltip names its device"};

}  // namespace

std::vector<CheckLine> ProbeSerialPort(const std::string& portName, const std::string& device, unsigned baud,
                                       const SystemPaths& paths, bool& openable, CheckReader reader) {
    std::vector<CheckLine> lines;
    openable = false;
    struct stat node{};
    if (device.empty() || stat(device.c_str(), &node) != 0) {
        lines.push_back({CheckStatus::Fail, portName + " stands for " + (device.empty() ? "no device" : device + ", which does not exist"),
                         kPortMissingFix.For(reader)});
        return lines;
    }
    char* real = realpath(device.c_str(), nullptr);
    const std::string resolved = real ? real : device;
    std::free(real);
    lines.push_back({S_ISCHR(node.st_mode) ? CheckStatus::Ok : CheckStatus::Fail,
                     portName + " is " + device + (resolved != device ? " (" + resolved + ")" : ""),
                     S_ISCHR(node.st_mode) ? "" : kNameTheDeviceFix.For(reader)});
    if (!S_ISCHR(node.st_mode)) return lines;
    lines.push_back(PermissionLine(device, node));
    const bool permitted = lines.back().status == CheckStatus::Ok;
    if (ProcessRunning(paths.proc, "ModemManager"))
        lines.push_back({CheckStatus::Warn, "ModemManager is running and may probe " + device + " when it appears",
                         "sudo systemctl stop ModemManager (or mark the adaptor with ENV{ID_MM_DEVICE_IGNORE}=\"1\" in a "
                         "udev rule)"});
    else
        lines.push_back({CheckStatus::Ok, "ModemManager is not running", {}});
    if (!permitted) return lines;
    // Held means taken: the port's lock or exclusive mode refuses this program, not merely open.
    CPCUart port;
    if (port.OpenPath(device, baud)) {
        lines.push_back({CheckStatus::Ok, "no other program holds " + device, {}});
        lines.push_back({CheckStatus::Ok, "the line settings (" + std::to_string(baud) + " baud, 8 bits, no parity, 1 stop bit) apply", {}});
        openable = true;
    } else if (port.LastError() == kResultPortDenied) {
        const auto holder = FindPortHolder(device);
        lines.push_back({CheckStatus::Fail, port.OpenFailureCause(),
                         holder ? "close " + holder->program + " (or: kill " + std::to_string(holder->pid) + ")"
                                : "close the other program that uses the port"});
    } else {
        lines.push_back({CheckStatus::Fail, port.OpenFailureCause(), kNameTheDeviceFix.For(reader)});
    }
    return lines;
}

std::vector<CheckLine> ProbeUsbRadio(CHidDevice& device, const SystemPaths& paths, bool& openable) {
    std::vector<CheckLine> lines;
    const std::string ids = UsbIdText(kUsbVendorId) + ":" + UsbIdText(kUsbProductId);
    const std::string attached = AttachedRadio(paths);
    if (attached.empty())
        lines.push_back({CheckStatus::Fail, "no USB radio (" + ids + ") is attached",
                         "plug the radio in with its USB cable and switch it on"});
    else
        lines.push_back({CheckStatus::Ok, "the USB radio " + ids + " is attached (" + attached + ")", {}});
    const std::string node = RadioHidrawNode(paths);
    if (!attached.empty() && node.empty())
        lines.push_back({CheckStatus::Fail, "the radio has no hidraw device node", "plug the radio in again"});
    else if (!node.empty())
        lines.push_back(access(node.c_str(), R_OK | W_OK) == 0
                            ? CheckLine{CheckStatus::Ok, "this user may open " + node, {}}
                            : CheckLine{CheckStatus::Fail, "this user may not open " + node,
                                        "install the udev rule (below), then plug the radio in again"});
    const std::string rule = InstalledRule(paths);
    if (!rule.empty())
        lines.push_back({CheckStatus::Ok, "the udev rule is installed: " + rule, {}});
    else
        lines.push_back({CheckStatus::Warn, "no udev rule for the radio is installed",
                         std::string("sudo cp packaging/") + kUdevRuleName + " " + kUdevRuleHome +
                             "/ && sudo udevadm control --reload, then plug the radio in again"});
    openable = device.IsPresent() || device.FindDevice();
    if (!attached.empty() || openable)
        lines.push_back(openable ? CheckLine{CheckStatus::Ok, "the radio opens", {}}
                                 : CheckLine{CheckStatus::Fail, "the radio cannot be opened",
                                             "install the udev rule, then plug the radio in again"});
    return lines;
}

}  // namespace orven
