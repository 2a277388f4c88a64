#include "ui/IdentityDescriptions.h"

#include "model/MarineIdentity.h"

namespace orven::ui {

namespace {

QString WithDescription(const QString& number, const QString& description) {
    return description.isEmpty() ? number : number + QStringLiteral(" (") + description + QLatin1Char(')');
}

}  // namespace

QString MmsiDescription(const std::string& mmsi) {
    const auto info = DecodeMmsi(mmsi);
    return info ? QString::fromStdString(DescribeMmsi(*info)) : QString();
}

QString AtisDescription(const std::string& lastNine) {
    const auto info = DecodeAtis(lastNine);
    return info ? QString::fromStdString(DescribeAtis(*info)) : QString();
}

QString DescribedMmsi(const std::string& mmsi) {
    return WithDescription(QString::fromStdString(mmsi), MmsiDescription(mmsi));
}

QString DescribedAtis(const std::string& lastNine) {
    return WithDescription(QStringLiteral("9") + QString::fromStdString(lastNine), AtisDescription(lastNine));
}

}  // namespace orven::ui
