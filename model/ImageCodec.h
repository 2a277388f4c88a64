// What the bytes of the radio's memory image mean, and the two conversions between the image
// and the settings document. This is the only code that knows the image addresses.
#pragma once

#include "model/AppState.h"
#include "model/IdentityRules.h"
#include "model/RadioImage.h"
#include "model/RadioSettings.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace orven {

// Image address map (multi-byte numbers little-endian). Bytes not named here are written as 0
// and ignored when read.
inline constexpr std::size_t kAddrImageMarker = 0x0104;    // 1 in every image the PC writes
inline constexpr std::size_t kAddrAtisPresent = 0x011A;    // non-zero: ATIS identity programmed
inline constexpr std::size_t kAddrAtisId = 0x011B;         // 5 decimal pairs, first digit "9"
inline constexpr std::size_t kAddrMmsiPresent = 0x0120;    // non-zero: MMSI programmed
inline constexpr std::size_t kAddrMmsiId = 0x0121;         // 5 decimal pairs, 9 digits + "0"
inline constexpr std::size_t kAddrNmeaNo = 0x0135;         // unsigned 24-bit
inline constexpr std::size_t kAddrSerialNo = 0x0138;       // 8 characters as they are
inline constexpr std::size_t kAddrPrivateCount = 0x0226;   // records at kAddrPrivateRecords
inline constexpr std::size_t kAddrTxStep = 0x02F0;         // txStepIndex, signed byte
inline constexpr std::size_t kAddrRxStep = 0x02F1;         // rxStepIndex, signed byte
inline constexpr std::size_t kAddrRegion = 0x02FD;         // 1 Europe, 0 USA; read back as model
inline constexpr std::size_t kAddrBandBits = 0x02FE;
inline constexpr std::size_t kAddrPrivateRecords = 0x0300;
inline constexpr std::size_t kPrivateRecordSize = 10;

// Bits of the byte at kAddrBandBits.
inline constexpr std::uint8_t kBandBitUSA = 0x01;
inline constexpr std::uint8_t kBandBitUSANarrow = 0x02;
inline constexpr std::uint8_t kBandBitINT = 0x04;
inline constexpr std::uint8_t kBandBitINTNarrow = 0x08;
inline constexpr std::uint8_t kBandBitCAN = 0x10;
inline constexpr std::uint8_t kBandBitCANNarrow = 0x20;
inline constexpr std::uint8_t kBandBitPrivate = 0x40;
inline constexpr std::uint8_t kBandBitWX = 0x80;

// Offsets inside one private channel record.
inline constexpr std::size_t kRecordPosition = 0;   // the record's index (ignored when read)
inline constexpr std::size_t kRecordLabelCode = 1;  // see LabelCode
inline constexpr std::size_t kRecordFlags = 3;      // 16-bit; the PC writes 0
inline constexpr std::size_t kRecordTx = 5;         // 16-bit TX PLL steps
inline constexpr std::size_t kRecordRx = 7;         // 16-bit RX PLL steps above the mid frequency
inline constexpr std::size_t kRecordUsage = 9;      // index into the usage name table

// Channel flag bits the radio reports.
inline constexpr std::uint16_t kChannelFlagAtis1W = 0x0100;
inline constexpr std::uint16_t kChannelFlagNoAtisRx = 0x0080;

// Identities travel as 10 digits in 5 bytes of decimal pairs.
inline constexpr std::size_t kIdentityDigits = 10;
inline constexpr std::size_t kIdentityBytes = 5;
inline constexpr const char* kAtisLeadDigit = "9";     // implied first ATIS digit
inline constexpr const char* kAtisFill = "000000";
inline constexpr const char* kMmsiFill = "0000000";

inline constexpr std::size_t kNmeaBytes = 3;
inline constexpr std::size_t kSerialBytes = 8;

// Renders 5 bytes as 10 characters, byte b as "0" + b / 10 and "0" + b % 10. Bytes above 99
// (a radio may hold anything) give characters past "9" rather than being refused.
std::string DecodeDecimalPairs(const std::uint8_t in[kIdentityBytes]);

// Packs the first 10 characters of digits into 5 bytes, each pair by its leading digits:
// "92" -> 92, "9x" -> 9, "x9" -> 0. A text shorter than 10 characters ends at its NUL; the
// missing characters count as non-digits.
void EncodeDecimalPairs(const char* digits, std::uint8_t out[kIdentityBytes]);

// A fixed text slot read as a decimal number the way the C text-to-integer conversion reads
// it (leading blanks, optional sign, digits; 0 when none), clamped to the 32-bit range. Reads
// at most size bytes: the slot need not hold a NUL.
std::int32_t SlotNumber(const char* slot, std::size_t size);
template <std::size_t N>
std::int32_t SlotNumber(const char (&slot)[N]) { return SlotNumber(slot, N); }

// Label code of a two-character label: first character digit d -> 10 * d, F 100, L 110,
// M 120, A 130, C 140, else 0; plus the second character's value when it is a digit. The
// label ends at its NUL.
std::uint8_t LabelCode(const char* label);

// The label a code stands for: letter or tens digit, then the units digit, then NUL. Codes of
// 150 and above have an empty first character, so the label reads as empty.
void LabelOfCode(std::uint8_t code, char label[4]);

// PLL steps per MHz of a step index: 80 (12.5 kHz), 40 (25 kHz), 160 for any other index.
int StepsPerMHz(int stepIndex);
// MHz per step: 0.0125, 0.025 or 0.00625.
double StepOf(int stepIndex);
// 19.65 MHz for rxMidIndex 0, 38.85 MHz for any other value.
double RxMidOf(int rxMidIndex);

// Integer part of (mhz * k + 0.00001), kept to its low 16 bits. Frequencies below the mid
// frequency wrap around; NaN gives 0 and values beyond the 64-bit range are clamped to it.
std::uint16_t TxSteps(double mhz, int stepIndex);
std::uint16_t RxSteps(double mhz, int rxMidIndex, int stepIndex);
double TxFrequency(std::uint16_t value, int stepIndex);
double RxFrequency(std::uint16_t value, int rxMidIndex, int stepIndex);

// Converts one settings document to and from the radio images for one clone operation.
class ImageCodec {
public:
    ImageCodec(const AppState& state, RadioSettings& settings,
               RadioImage& writeImage = WriteImage, RadioImage& readImage = ReadImage);

    // Settings -> write image. The whole image is rewritten. An identity whose "entry by user"
    // flag is set is left unprogrammed whatever its text. Private channels go out only for a
    // European model. Returns 0.
    int Encode();

    // Read image -> settings. The settings are replaced entirely, starting from the defaults of
    // the state's model type; at most 100 private channels are taken. Returns 0.
    int Decode();

private:
    void EncodeHeader();
    void EncodePrivateChannels();
    static constexpr std::size_t kIdentitySlot = sizeof(RadioSettings::atisId);
    void EncodeIdentity(std::size_t presentAddr, std::size_t pairsAddr, std::uint32_t byUser,
                        const char* lead, const char (&id)[kIdentitySlot], const char* fill);
    void EncodeNmea();

    void ClearFlagsAndSteps();
    void DecodeHeader();
    void DecodePrivateChannels();
    void DecodeIdentities();
    void DecodeNmeaAndSerial();

    const AppState& state_;
    RadioSettings& settings_;
    RadioImage& write_;
    RadioImage& read_;
};

}  // namespace orven
