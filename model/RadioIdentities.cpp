#include "model/RadioIdentities.h"

#include "model/ImageCodec.h"
#include "model/LineFormat.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

namespace orven {

namespace {

constexpr std::size_t kPresentFlag = 1;
static_assert(kIdentityBytesFirst == kAddrAtisPresent && kIdentityBytesLast == kAddrSerialNo + kSerialBytes - 1);

// The nine digits of an identity stored as decimal pairs behind its present flag, or none.
std::string PairsText(const RadioImage& image, std::size_t presentAddr, std::size_t pairsAddr, std::size_t skip) {
    if (image[presentAddr] == 0) return {};
    return DecodeDecimalPairs(&image[pairsAddr]).substr(skip, kIdentityTextLength);
}

std::string NmeaText(const RadioImage& image) {
    std::uint32_t n = 0;
    for (std::size_t i = 0; i < kNmeaBytes; ++i) n |= std::uint32_t{image[kAddrNmeaNo + i]} << (8 * i);
    return n == 0 ? std::string() : FormatLine("%06u", n);
}

std::string_view WithoutLeadingZeros(std::string_view text) {
    const std::size_t first = text.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

const char* IdentityName(IdentityKind kind) {
    switch (kind) {
    case IdentityKind::Mmsi: return "MMSI";
    case IdentityKind::Atis: return "ATIS";
    case IdentityKind::Nmea: return "NMEA2000 number";
    case IdentityKind::Serial: return "serial number";
    case IdentityKind::Model: return "model";
    }
    return "";
}

RadioIdentities IdentitiesInImage(const RadioImage& image) {
    RadioIdentities ids;
    ids[IdentityKind::Atis] = PairsText(image, kAddrAtisPresent, kAddrAtisId, 1);
    ids[IdentityKind::Mmsi] = PairsText(image, kAddrMmsiPresent, kAddrMmsiId, 0);
    ids[IdentityKind::Nmea] = NmeaText(image);
    const auto* serial = reinterpret_cast<const char*>(&image[kAddrSerialNo]);
    ids[IdentityKind::Serial] = std::string(FixedSlotText(serial, kSerialBytes));
    ids[IdentityKind::Model] = image[kAddrRegion] != 0 ? kModelNameEurope : kModelNameUsa;
    return ids;
}

RadioIdentities EncodedIdentities(const RadioSettings& document) {
    auto copy = std::make_unique<RadioSettings>(document);
    auto images = std::make_unique<std::array<RadioImage, 2>>();
    const AppState state = FreshAppState();
    ImageCodec(state, *copy, (*images)[0], (*images)[1]).Encode();
    return IdentitiesInImage((*images)[0]);
}

bool SameIdentity(IdentityKind kind, std::string_view a, std::string_view b) {
    if (kind == IdentityKind::Nmea) return WithoutLeadingZeros(a) == WithoutLeadingZeros(b);
    if (kind == IdentityKind::Model) return EqualIgnoringCase(a, b);
    return a == b;
}

ImageSpan IdentitySpan(IdentityKind kind) {
    switch (kind) {
    case IdentityKind::Mmsi: return {kAddrMmsiPresent, kPresentFlag + kIdentityBytes};
    case IdentityKind::Atis: return {kAddrAtisPresent, kPresentFlag + kIdentityBytes};
    case IdentityKind::Nmea: return {kAddrNmeaNo, kNmeaBytes};
    case IdentityKind::Serial: return {kAddrSerialNo, kSerialBytes};
    case IdentityKind::Model: return {kAddrRegion, 1};
    }
    return {0, 0};
}

void CopyIdentityBytes(IdentityKind kind, const RadioImage& from, RadioImage& to) {
    const ImageSpan span = IdentitySpan(kind);
    std::memcpy(&to[span.first], &from[span.first], span.size);
}

void ClearIdentityBytes(IdentityKind kind, RadioImage& image) {
    const ImageSpan span = IdentitySpan(kind);
    std::memset(&image[span.first], 0, span.size);
}

bool IdentityBytesEqual(IdentityKind kind, const RadioImage& a, const RadioImage& b) {
    const ImageSpan span = IdentitySpan(kind);
    return std::memcmp(&a[span.first], &b[span.first], span.size) == 0;
}

bool LeavesOpen(const RadioSettings& s, IdentityKind kind) {
    switch (kind) {
    case IdentityKind::Mmsi: return s.mmsiByUser != 0 || SlotNumber(s.mmsiId) < 1;
    case IdentityKind::Atis: return s.atisByUser != 0 || SlotNumber(s.atisId) < 1;
    // Zeros are a number the user typed, and program none: only a blank field is left open.
    case IdentityKind::Nmea: return FixedSlotText(s.nmeaNo).find_first_not_of(' ') == std::string_view::npos;
    case IdentityKind::Serial: return FixedSlotText(s.serialNo).empty();
    case IdentityKind::Model: return false;
    }
    return false;
}

}  // namespace orven
