// Demo mode: a simulated radio on USB, so that the program can be tried without a radio.
#pragma once

#include <QStringList>

namespace orven {
class CHidDevice;
}

namespace orven::ui {

inline constexpr const char* kDemoOption = "--demo";

bool DemoRequested(const QStringList& arguments);

// Puts a simulated radio holding the demo memory behind the device: it is found at once and
// answers every clone command.
void AttachDemoRadio(CHidDevice& device);

}  // namespace orven::ui
