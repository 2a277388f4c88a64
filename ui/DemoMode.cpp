#include "ui/DemoMode.h"

#include "link/CHidDevice.h"
#include "sim/DemoRadio.h"
#include "sim/SimulatedHidBackend.h"

#include <memory>

namespace orven::ui {

bool DemoRequested(const QStringList& arguments) {
    // The first argument is the program itself.
    return arguments.indexOf(QString::fromLatin1(kDemoOption), 1) >= 1;
}

void AttachDemoRadio(CHidDevice& device) {
    auto backend = std::make_shared<SimulatedHidBackend>();
    backend->WithRadio([](SimulatedRadio& radio) { FillDemoMemory(radio.Memory()); });
    device.SetBackend(std::move(backend));
}

}  // namespace orven::ui
