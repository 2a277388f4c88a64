#include "files/SettingsJson.h"

#include "model/IdentityRules.h"
#include "model/LineFormat.h"
#include "model/MarineIdentity.h"
#include "model/SettingsRules.h"
#include "model/ChannelBand.h"
#include "model/UsageNameTable.h"

#include <array>
#include <memory>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string_view>

namespace orven {

namespace {

using nlohmann::json;
using nlohmann::ordered_json;

constexpr int kJsonFormatVersion = 1;

std::string Trimmed(std::string_view usage) {
    const auto first = usage.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = usage.find_last_not_of(' ');
    return std::string(usage.substr(first, last - first + 1));
}

// Texts in the records are 8-bit; JSON wants UTF-8. Each byte is taken as its Latin-1
// character, so any stored byte survives the trip out and back.
std::string Latin1ToUtf8(std::string_view text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string SlotJson(std::string_view slot) { return Latin1ToUtf8(slot); }

// Frequencies are worked in five decimals of a MHz, both ways: a stored double may carry a binary
// tail (157.85000000000002) that JSON would otherwise print in full, and a document read back
// must give the bytes it was made from.
double FiveDecimals(double mhz) {
    char text[32];
    std::snprintf(text, sizeof text, "%.5f", mhz);
    return std::strtod(text, nullptr);
}

// What an identity number says, or null for text that is no number of nine digits.
ordered_json IdentityInfoJson(const std::optional<MmsiInfo>& info, bool withKind) {
    if (!info) return nullptr;
    ordered_json j;
    if (withKind) j["kind"] = std::string(KindName(info->kind));
    j["mid"] = info->mid;
    j["country"] = std::string(info->country);
    return j;
}

ordered_json ChannelToJson(const ChannelRecord& r) {
    ordered_json c;
    c["label"] = SlotJson(FixedSlotText(r.label));
    c["usage"] = r.usage;
    c["usageName"] = Trimmed(UsageName(r.usage));
    c["usageText"] = SlotJson(FixedSlotText(r.usageText));
    c["txMHz"] = FiveDecimals(r.txMHz);
    c["rxMHz"] = FiveDecimals(r.rxMHz);
    c["lowPower"] = r.lowPower != 0;
    c["rxOnly"] = r.rxOnly != 0;
    c["atis1W"] = r.atis1W != 0;
    c["atisRx"] = r.atisRx != 0;
    c["pttHigh"] = r.pttHigh != 0;
    return c;
}

// Input checking: every reader takes the key and the expected JSON type.
class Reader {
public:
    Reader(const json& object, std::string where, std::string& error)
        : object_(object), where_(std::move(where)), error_(error) {}

    bool RejectUnknown(const std::set<std::string_view>& known) {
        for (const auto& [key, value] : object_.items())
            if (!known.count(key)) return Fail(key, "is not a known key");
        return true;
    }
    bool Has(const char* key) const { return object_.contains(key); }

    bool Bool(const char* key, std::uint32_t& out) {
        if (!Has(key)) return true;
        if (!object_[key].is_boolean()) return Fail(key, "must be true or false");
        out = object_[key].get<bool>() ? 1 : 0;
        return true;
    }
    bool Int(const char* key, int lo, int hi, std::int32_t& out) {
        if (!Has(key)) return true;
        const json& v = object_[key];
        if (!v.is_number_integer() || v.get<long long>() < lo || v.get<long long>() > hi)
            return Fail(key, "must be a whole number from " + std::to_string(lo) + " to " + std::to_string(hi));
        out = static_cast<std::int32_t>(v.get<long long>());
        return true;
    }
    bool Number(const char* key, double& out) {
        if (!Has(key)) return true;
        if (!object_[key].is_number()) return Fail(key, "must be a number");
        out = object_[key].get<double>();
        return true;
    }
    // A text for a slot of the record: printable ASCII, at most maxLength characters.
    bool Text(const char* key, std::size_t maxLength, std::string& out) {
        if (!Has(key)) return true;
        if (!object_[key].is_string()) return Fail(key, "must be a string");
        out = object_[key].get<std::string>();
        if (const auto refusal = UnprintableTextRefusal(out)) return Fail(key, *refusal);
        if (out.size() > maxLength)
            return Fail(key, "is longer than " + std::to_string(maxLength) + " characters");
        return true;
    }
    bool Choice(const char* key, const char* const* names, int count, std::int32_t& out) {
        if (!Has(key)) return true;
        const json& v = object_[key];
        for (int i = 0; v.is_string() && i < count; ++i)
            if (v.get<std::string>() == names[i]) return out = i, true;
        std::string list;
        for (int i = 0; i < count; ++i) list += std::string(i ? ", " : "") + names[i];
        return Fail(key, "must be one of " + list);
    }
    bool Fail(std::string_view key, const std::string& why) {
        error_ = where_ + PrintableText(key) + " " + why;
        return false;
    }

private:
    const json& object_;
    std::string where_;
    std::string& error_;
};

const char* KeyOf(ChannelField field) {
    switch (field) {
    case ChannelField::Label: return "label";
    case ChannelField::Tx: return "txMHz";
    case ChannelField::Rx: break;
    }
    return "rxMHz";
}

bool ChannelFromJson(const json& c, std::size_t index, ChannelRecord& r, std::string& error) {
    const std::string where = "privateChannels[" + std::to_string(index) + "].";
    if (!c.is_object()) return error = where.substr(0, where.size() - 1) + " must be an object", false;
    Reader in(c, where, error);
    if (!in.RejectUnknown({"label", "usage", "usageName", "usageText", "txMHz", "rxMHz", "lowPower",
                           "rxOnly", "atis1W", "atisRx", "pttHigh"}))
        return false;
    r = ChannelRecord{};
    r.inUse = 1;
    std::string label, usageText;
    std::int32_t usage = 0;
    if (!in.Has("label") || !in.Has("txMHz") || !in.Has("rxMHz"))
        return in.Fail("", "needs label, txMHz and rxMHz");
    if (!in.Text("label", kStorableLabelLength, label) || !in.Text("usageText", kUsageTextLimit, usageText) ||
        !in.Int("usage", 0, static_cast<int>(kUsageNameCount) - 1, usage) ||
        !in.Number("txMHz", r.txMHz) || !in.Number("rxMHz", r.rxMHz) ||
        !in.Bool("lowPower", r.lowPower) || !in.Bool("rxOnly", r.rxOnly) ||
        !in.Bool("atis1W", r.atis1W) || !in.Bool("atisRx", r.atisRx) || !in.Bool("pttHigh", r.pttHigh))
        return false;
    CopyText(r.label, label.c_str());
    if (const auto problem = CheckEditedChannel(r)) return in.Fail(KeyOf(problem->field), problem->why);
    r.txMHz = FiveDecimals(r.txMHz);
    r.rxMHz = FiveDecimals(r.rxMHz);
    CopyText(r.usageText, usageText.c_str());
    r.usage = static_cast<std::uint8_t>(usage);
    return true;
}

bool IdentitiesFromJson(Reader& in, RadioSettings& s) {
    std::string mmsi, atis, nmea, serial, brand, model;
    if (!in.Text("mmsi", kIdentityTextLength, mmsi) || !in.Text("atis", kIdentityTextLength, atis) ||
        !in.Text("nmea", kNmeaTextLength, nmea) || !in.Text("serial", kSerialTextLimit, serial) ||
        !in.Text("brandName", kNameTextLimit, brand) || !in.Text("modelName", kNameTextLimit, model))
        return false;
    if (!mmsi.empty() && !IsValidIdentity9(mmsi)) return in.Fail("mmsi", "must be 9 digits, the first not 0");
    if (!atis.empty() && !IsValidIdentity9(atis)) return in.Fail("atis", "must be 9 digits, the first not 0");
    if (!IsValidNmeaNumber(nmea)) return in.Fail("nmea", "must be 6 digits");
    if (in.Has("mmsi")) CopyText(s.mmsiId, mmsi.c_str());
    if (in.Has("atis")) CopyText(s.atisId, atis.c_str());
    if (in.Has("nmea")) CopyText(s.nmeaNo, nmea.c_str());
    if (in.Has("serial")) CopyText(s.serialNo, serial.c_str());
    if (in.Has("brandName")) CopyText(s.brandName, brand.c_str());
    if (in.Has("modelName")) CopyText(s.modelName, model.c_str());
    return true;
}

bool BandsFromJson(const json& bands, RadioSettings& s, std::string& error) {
    if (!bands.is_object()) return error = "bands must be an object", false;
    for (const auto& [key, value] : bands.items()) {
        ChannelBand band;
        if (!ParseBandName(key, band)) return error = "bands." + PrintableText(key) + " is not a known band", false;
        if (!value.is_boolean()) return error = "bands." + PrintableText(key) + " must be true or false", false;
        BandFlag(s, band) = value.get<bool>() ? 1 : 0;
    }
    return true;
}

}  // namespace

ordered_json SettingsToJson(const RadioSettings& s) {
    ordered_json j;
    j["format"] = kJsonFormatVersion;
    j["modelType"] = s.model;
    j["region"] = s.model == 0 ? "USA" : "Europe";
    ordered_json bands;
    for (int b = 0; b < kBandCount; ++b) {
        const auto band = static_cast<ChannelBand>(b);
        bands[std::string(NameOfBand(band))] = BandFlag(s, band) != 0;
    }
    j["bands"] = bands;
    j["txStep"] = StepName(s.txStepIndex);
    j["rxStep"] = StepName(s.rxStepIndex);
    j["rxMid"] = kRxMidNames[s.rxMidIndex != 0 ? 1 : 0];
    j["mmsi"] = SlotJson(FixedSlotText(s.mmsiId));
    j["mmsiInfo"] = IdentityInfoJson(DecodeMmsi(FixedSlotText(s.mmsiId)), true);
    j["mmsiByUser"] = s.mmsiByUser != 0;
    j["atis"] = SlotJson(FixedSlotText(s.atisId));
    j["atisInfo"] = IdentityInfoJson(DecodeAtis(FixedSlotText(s.atisId)), false);
    j["atisByUser"] = s.atisByUser != 0;
    j["nmea"] = SlotJson(FixedSlotText(s.nmeaNo));
    j["serial"] = SlotJson(FixedSlotText(s.serialNo));
    j["brandName"] = SlotJson(FixedSlotText(s.brandName));
    j["modelName"] = SlotJson(FixedSlotText(s.modelName));
    ordered_json channels = ordered_json::array();
    const std::size_t count = PrivateChannelCount(s);
    for (std::size_t i = 0; i < count; ++i) channels.push_back(ChannelToJson(PrivateChannel(s, i)));
    j["privateChannels"] = channels;
    return j;
}

bool SettingsFromJson(const json& doc, RadioSettings& out, std::string& error) {
    if (!doc.is_object()) return error = "the document must be a JSON object", false;
    Reader in(doc, "", error);
    // mmsiInfo and atisInfo are what show --json adds; they are read from the numbers, never taken.
    if (!in.RejectUnknown({"format", "modelType", "region", "bands", "txStep", "rxStep", "rxMid", "mmsi",
                           "mmsiInfo", "mmsiByUser", "atis", "atisInfo", "atisByUser", "nmea", "serial", "brandName", "modelName",
                           "privateChannels"}))
        return false;
    std::int32_t format = kJsonFormatVersion, modelType = 0;
    if (!in.Int("format", kJsonFormatVersion, kJsonFormatVersion, format) || !in.Int("modelType", 0, 2, modelType))
        return false;
    auto held = std::make_unique<RadioSettings>();  // 43 KB: kept off the stack
    RadioSettings& s = *held;
    LoadDefaults(s, modelType);
    if (in.Has("bands") && !BandsFromJson(doc["bands"], s, error)) return false;
    if (!in.Choice("txStep", kStepNames, kStepCount, s.txStepIndex) ||
        !in.Choice("rxStep", kStepNames, kStepCount, s.rxStepIndex) ||
        !in.Choice("rxMid", kRxMidNames, 2, s.rxMidIndex) || !in.Bool("mmsiByUser", s.mmsiByUser) ||
        !in.Bool("atisByUser", s.atisByUser) || !IdentitiesFromJson(in, s))
        return false;
    if (in.Has("privateChannels")) {
        const json& list = doc["privateChannels"];
        if (!list.is_array()) return in.Fail("privateChannels", "must be an array");
        if (list.size() > kMaxPrivateChannels) return in.Fail("privateChannels", "holds more than 100 channels");
        for (std::size_t i = 0; i < list.size(); ++i)
            if (!ChannelFromJson(list[i], i, PrivateChannel(s, i), error)) return false;
    }
    out = s;
    return true;
}

}  // namespace orven
