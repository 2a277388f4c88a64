// The connection check's first lines in the web edition: what the browser can tell of the way to a
// radio, in place of the system's probes. Does it have Web Serial or WebHID at all, did the user
// grant the page an adaptor or the radio, and does the port open. The link checks that follow are
// the core's own.
#include "link/ConnectionProbe.h"

#include "GlobalDef.h"
#include "link/CHidDevice.h"
#include "link/CPCUart.h"
#include "model/LineFormat.h"

#include <emscripten.h>
#include <nlohmann/json.hpp>

#include <cstdlib>

namespace orven {

namespace {

// {"supported", "chosen", "info"}: what the page's link knows of its port or device.
EM_JS(char*, web_serial_facts, (), {
    return allocateUTF8(JSON.stringify(Module.links.serial.facts()));
});
EM_ASYNC_JS(char*, web_hid_facts, (int vendorId, int productId), {
    return allocateUTF8(JSON.stringify(await Module.links.hid.facts(vendorId, productId)));
});

nlohmann::json Facts(char* text) {
    nlohmann::json facts = nlohmann::json::parse(text, nullptr, false);
    std::free(text);
    return facts.is_object() ? facts : nlohmann::json::object();
}

constexpr const char* kOtherBrowserFix = "open this page in Chrome, Edge or Opera on a computer, or choose the demo radio";

}  // namespace

std::vector<CheckLine> ProbeSerialPort(const std::string&, const std::string& device, unsigned baud, const SystemPaths&,
                                       bool& openable, CheckReader) {
    std::vector<CheckLine> lines;
    openable = false;
    const nlohmann::json facts = Facts(web_serial_facts());
    if (!facts.value("supported", false)) {
        lines.push_back({CheckStatus::Fail, "this browser has no Web Serial: it cannot reach a serial adaptor", kOtherBrowserFix});
        return lines;
    }
    if (!facts.value("chosen", false)) {
        lines.push_back({CheckStatus::Fail, "no serial adaptor is granted to this page (the browser's list was closed without one)",
                         "plug the adaptor in (on Windows and macOS with its driver installed), check again and choose it "
                         "in the browser's list"});
        return lines;
    }
    const std::string info = facts.value("info", "");
    lines.push_back({CheckStatus::Ok, "the serial adaptor chosen" + (info.empty() ? "" : " (" + PrintableText(info) + ")"), {}});
    CPCUart port;
    if (port.OpenPath(device, baud)) {
        lines.push_back({CheckStatus::Ok, "the port opens at " + std::to_string(baud) + " baud, 8 bits, no parity, 1 stop bit", {}});
        openable = true;
    } else if (port.LastError() == kResultPortDenied) {
        lines.push_back({CheckStatus::Fail, "the port does not open: another program or browser tab holds it (" +
                                                PrintableText(port.OpenFailureCause()) + ")",
                         "close the program or tab that uses the adaptor, or unplug it and plug it in again"});
    } else {
        lines.push_back({CheckStatus::Fail, "the port does not open (" + PrintableText(port.OpenFailureCause()) + ")",
                         "unplug the adaptor, plug it in again and check again"});
    }
    return lines;
}

std::vector<CheckLine> ProbeUsbRadio(CHidDevice& device, const SystemPaths&, bool& openable) {
    std::vector<CheckLine> lines;
    openable = false;
    const std::string ids = FormatLine("%04x:%04x", kUsbVendorId, kUsbProductId);
    const nlohmann::json facts = Facts(web_hid_facts(kUsbVendorId, kUsbProductId));
    if (!facts.value("supported", false)) {
        lines.push_back({CheckStatus::Fail, "this browser has no WebHID: it cannot reach the USB radio", kOtherBrowserFix});
        return lines;
    }
    if (!facts.value("chosen", false)) {
        lines.push_back({CheckStatus::Fail, "the USB radio (" + ids + ") is not granted to this page",
                         "plug the radio in with its USB cable, switch it on, check again and choose it in the browser's "
                         "list"});
        return lines;
    }
    if (!device.IsPresent() && !device.FindDevice()) {
        lines.push_back({CheckStatus::Fail, "the USB radio (" + ids + ") is granted but does not open",
                         "close other tabs or programs that use the radio, or unplug it and plug it in again"});
        return lines;
    }
    lines.push_back({CheckStatus::Ok, "the USB radio " + ids + " is attached and granted to this page", {}});
    openable = true;
    return lines;
}

}  // namespace orven
