#include "files/SettingsFile.h"

#include "files/AtomicFile.h"
#include "files/FileRead.h"
#include "files/Paths.h"

#include <memory>

namespace orven {

namespace {

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

}  // namespace orven
