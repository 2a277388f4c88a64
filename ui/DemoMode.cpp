#include "ui/DemoMode.h"

#include "link/CHidDevice.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedHidBackend.h"

namespace orven::ui {

bool DemoRequested(const QStringList& arguments) {
    // The first argument is the program itself.
    return arguments.indexOf(QString::fromLatin1(kDemoOption), 1) >= 1;
}

void AttachDemoRadio(CHidDevice& device) {
    device.SetBackend(MakeDemoUsbRadio());
}

}  // namespace orven::ui
