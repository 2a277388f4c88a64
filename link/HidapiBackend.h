// The HID backend over the system's HID library (hidraw devices); nullptr in a build without it.
#pragma once

#include "link/HidBackend.h"

#include <memory>

namespace orven {

std::shared_ptr<HidBackend> MakeHidapiBackend();

}  // namespace orven
