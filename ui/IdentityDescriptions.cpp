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

QString IdentityLabel(IdentityKind kind) {
    QString name = QLatin1String(IdentityName(kind));
    if (!name.isEmpty()) name[0] = name[0].toUpper();
    return name;
}

}  // namespace orven::ui
