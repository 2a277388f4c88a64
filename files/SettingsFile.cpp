#include "files/SettingsFile.h"

#include "files/AtomicFile.h"
#include "files/FileRead.h"
#include "files/Paths.h"

#include <cmath>
#include <cstring>
#include <memory>

namespace orven {

namespace {

bool InRadioRange(double mhz) { return mhz >= kMinFreqMHz && mhz <= kMaxFreqMHz; }

bool ChannelPlausible(const ChannelRecord& r) {
    const std::size_t labelLength = strnlen(r.label, sizeof r.label);
    if (labelLength < kMinLabelLength || labelLength > kMaxLabelLength) return false;
    if (std::isnan(r.txMHz)) return false;
    if (r.txMHz > kReceiveOnlyTxMHz && !InRadioRange(r.txMHz)) return false;
    return InRadioRange(r.rxMHz);
}

CloneResult ResultOfRead(const FileRead& read) {
    switch (read.status) {
    case FileReadStatus::CannotOpen: return kResultOpenFile;
    case FileReadStatus::ReadFailed: return kResultFileRead;
    case FileReadStatus::Ok: break;
    }
    // Anything but exactly one record is not a settings file.
    if (read.bytes != kSettingsFileSize || read.more) return kResultFileFormat;
    return kResultOk;
}

}  // namespace

CloneResult SaveSettingsFile(const std::string& path, const RadioSettings& settings) {
    return WriteFileAtomically(path, Bytes(settings)) ? kResultOk : kResultFileWrite;
}

CloneResult LoadSettingsFile(const std::string& path, RadioSettings& out, bool* readOnly) {
    // The record is large; keep it off the caller's stack.
    auto loaded = std::make_unique<RadioSettings>();
    const CloneResult result = ResultOfRead(ReadFileStart(path, Bytes(*loaded)));
    if (result != kResultOk) return result;
    if (!SettingsPassCheck(*loaded)) return kResultFileFormat;
    out = *loaded;
    if (readOnly) *readOnly = !CanWrite(path);
    return kResultOk;
}

bool SettingsPassCheck(const RadioSettings& settings) {
    for (const ChannelRecord& r : settings.channels)
        if (r.inUse != 0 && !ChannelPlausible(r)) return false;
    return true;
}

}  // namespace orven
