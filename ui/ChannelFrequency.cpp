#include "ui/ChannelFrequency.h"

#include "model/PlatformLogi.h"

#include <charconv>
#include <cmath>

namespace orven::ui {

namespace {
// A frequency counts as on the grid when its step count is this close to a whole number.
constexpr double kGridTolerance = 0.00001;
constexpr double kGridUpperFraction = 0.9999;
// 6.25 kHz steps in one MHz, kept exact rather than divided out of kTxGridMHz.
constexpr double kTxStepsPerMHz = 160.0;
}  // namespace

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

bool IsValidTxFrequency(double mhz) {
    if (!(mhz >= kMinFreqMHz && mhz <= kMaxFreqMHz)) return false;
    const double steps = mhz * kTxStepsPerMHz;
    const double fraction = steps - std::floor(steps);
    return fraction < kGridTolerance || fraction > kGridUpperFraction;
}

// QString::asprintf formats numbers in the C locale.
QString FrequencyText(double mhz) { return QString::asprintf("%8.5f", mhz); }

QString InvalidTxMessage() {
    return QString::asprintf("Invalid Tx Frequency.\nFrequency=0.00625*N.\nRange=%3.4f - %3.4f",
                             kMinFreqMHz, kMaxFreqMHz);
}

}  // namespace orven::ui
