#include "ui/ChannelFrequency.h"

#include <charconv>

namespace orven::ui {

double ReadFrequency(const QString& text) {
    const QByteArray bytes = text.left(kFrequencyTextLimit).toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    while (first != last && (*first == ' ' || *first == '\t')) ++first;
    if (first != last && *first == '+') ++first;
    double value = 0.0;
    if (std::from_chars(first, last, value).ec != std::errc()) return 0.0;
    return value;
}

// QString::asprintf formats numbers in the C locale.
QString FrequencyText(double mhz) { return QString::asprintf("%8.5f", mhz); }

}  // namespace orven::ui
