// The clone engine for a radio on USB: each frame goes out in one HID output report and the
// reply comes back in one input report, through the process-wide HID device object.
#pragma once

#include "clone/CCloneEngine.h"
#include "link/CHidDevice.h"

namespace orven {

class CPcUsbClone : public CCloneEngine {
    ORVEN_RUNTIME_CLASS(CPcUsbClone, CCloneEngine)

public:
    // The device defaults to HidDeviceObject().
    explicit CPcUsbClone(CHidDevice& device = HidDeviceObject()) : device_(device) {}

protected:
    CloneResult OpenLink() override;
    void CloseLink() override {}
    CloneResult SendFrame(const std::uint8_t* frame) override;
    CloneResult ReceiveReply(const std::uint8_t* sent, std::uint8_t* reply) override;
    CloneResult PrefixFailure(Exchange) const override { return kResultBadPrefix; }
    bool AnnouncesRangeAfterFailedHandShake() const override { return true; }

private:
    int TimeoutMs() const { return static_cast<int>(Timing().reportTimeout.count()); }

    CHidDevice& device_;
};

}  // namespace orven
