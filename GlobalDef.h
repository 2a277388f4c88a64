// Definitions shared by every layer: product strings, the clone range, the link's baud
// rates, the USB identity and the outcome codes every operation reports.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "the settings and state files are the in-memory records: a little-endian host is required");

namespace orven {

// Product strings.
inline constexpr const char* kProgramTitle = "ORVEN Clone";
inline constexpr const char* kModelName = "ORVEN";
inline constexpr const char* kVersionText = "V1.15";
// The release number of this build (the project version in CMakeLists.txt), for --version and
// the package.
#ifndef ORVEN_PACKAGE_VERSION
#define ORVEN_PACKAGE_VERSION "0.0.0"
#endif
inline constexpr const char* kPackageVersion = ORVEN_PACKAGE_VERSION;
inline constexpr const char* kUsaVariantName = "VOROZUDE";
inline constexpr const char* kEuropeVariantName = "RAVUZORU";

// The radio image and the part of it that a clone moves.
inline constexpr std::size_t kImageSize = 0x2000;
inline constexpr std::uint16_t kCloneFirst = 0x0100;
inline constexpr std::uint16_t kCloneLast = 0x06FF;
inline constexpr std::size_t kChunkSize = 20;

// Serial link speeds, indexed by AppState::baudIndex.
inline constexpr std::array<std::uint32_t, 8> kBaudTable = {
    4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200};
inline constexpr int kDefaultBaudIndex = 1;
// The speed of a stored baud index; an index outside the table counts as the default.
inline constexpr std::uint32_t BaudOfIndex(int index) {
    return index >= 0 && static_cast<std::size_t>(index) < kBaudTable.size()
               ? kBaudTable[static_cast<std::size_t>(index)]
               : kBaudTable[kDefaultBaudIndex];
}
inline constexpr int kComPortCount = 32;

// The radio on USB.
inline constexpr std::uint16_t kUsbVendorId = 0x0483;
inline constexpr std::uint16_t kUsbProductId = 0x5750;

// Outcome of every clone and settings-file operation: class in the upper 16 bits,
// number in the lower 16. Texts live with LookupResultText (clone/CloneResult.h).
using CloneResult = std::uint32_t;

inline constexpr CloneResult kResultOk = 0;
inline constexpr CloneResult kResultUserCancel = 0x00001;
inline constexpr CloneResult kResultGeneric = 0x10001;
inline constexpr CloneResult kResultReadError = 0x10002;
inline constexpr CloneResult kResultWriteError = 0x10003;
inline constexpr CloneResult kResultVerifyError = 0x10004;
inline constexpr CloneResult kResultPortRead = 0x1000B;
inline constexpr CloneResult kResultPortWrite = 0x1000C;
inline constexpr CloneResult kResultNoAdaptor = 0x1000D;
inline constexpr CloneResult kResultNoRadio = 0x1000E;
inline constexpr CloneResult kResultTimeout = 0x1000F;
inline constexpr CloneResult kResultBadPrefix = 0x10010;
inline constexpr CloneResult kResultChecksum = 0x10011;
inline constexpr CloneResult kResultInvalidData = 0x10012;
inline constexpr CloneResult kResultNotMatched = 0x10013;
inline constexpr CloneResult kResultOpenPort = 0x10014;
inline constexpr CloneResult kResultPortNotFound = 0x10015;
inline constexpr CloneResult kResultPortDenied = 0x10016;
inline constexpr CloneResult kResultOpenFile = 0x20002;
inline constexpr CloneResult kResultFileRead = 0x20003;
inline constexpr CloneResult kResultFileWrite = 0x20004;
inline constexpr CloneResult kResultFileFormat = 0x20005;
inline constexpr CloneResult kResultFileReadOnly = 0x20006;
inline constexpr CloneResult kResultFileExists = 0x20007;
inline constexpr CloneResult kResultBadParameter = 0x40001;

}  // namespace orven
