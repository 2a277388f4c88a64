#include "clone/CPcUsbClone.h"

namespace orven {

CloneResult CPcUsbClone::OpenLink() {
    if (!device_.IsPresent()) device_.FindDevice();
    return device_.IsPresent() ? kResultOk : kResultNoRadio;
}

CloneResult CPcUsbClone::SendFrame(const std::uint8_t* frame) {
    return device_.WriteReport(frame, kFrameSize, TimeoutMs()) ? kResultOk : kResultNoRadio;
}

CloneResult CPcUsbClone::ReceiveReply(const std::uint8_t*, std::uint8_t* reply) {
    return device_.ReadReport(reply, kFrameSize, TimeoutMs()) ? kResultOk : kResultTimeout;
}

}  // namespace orven
