// The radio on USB in the web edition: the HID backend over the page's WebHID link
// (Module.links.hid). The device is the one the user granted the page; reports move as awaits.
#pragma once

#include "link/HidBackend.h"

namespace orven::web {

class WebHidBackend : public HidBackend {
public:
    std::unique_ptr<HidConnection> Open(std::uint16_t vendorId, std::uint16_t productId) override;
};

}  // namespace orven::web
