#include "ui/IdentityDescriptions.h"

#include "model/MarineIdentity.h"

namespace orven::ui {

QString MmsiDescription(const std::string& mmsi) {
    const auto info = DecodeMmsi(mmsi);
    return info ? QString::fromStdString(DescribeMmsi(*info)) : QString();
}

QString AtisDescription(const std::string& lastNine) {
    const auto info = DecodeAtis(lastNine);
    return info ? QString::fromStdString(DescribeAtis(*info)) : QString();
}

}  // namespace orven::ui
