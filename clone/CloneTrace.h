// The trace file "CommLogo.bin" and the image dump files, as the clone engines write them.
#pragma once

#include "model/RadioImage.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <type_traits>

namespace orven {

inline constexpr const char* kTraceFileName = "CommLogo.bin";
inline constexpr const char* kWriteDumpFileName = "WriteRom.bin";
inline constexpr const char* kReadDumpFileName = "ReadRom.bin";
inline constexpr std::size_t kTraceImageBytes = 0x50;
// The time field of the record that marks where a fast transfer went over to the product's timing.
inline constexpr char kTraceFallbackMark[] = "FALLBACK";

// One record per attempt that got as far as its receive, and marker records between them.
struct TraceRecord {
    char time[16];  // "T%d:%d:%d:%u": hour, minute, second, milliseconds, or a mark; zero-padded
    std::uint8_t writeImage[kTraceImageBytes];
    std::uint8_t readImage[kTraceImageBytes];
};
static_assert(std::is_standard_layout_v<TraceRecord>);
static_assert(sizeof(TraceRecord) == 176);
static_assert(offsetof(TraceRecord, time) == 0);
static_assert(offsetof(TraceRecord, writeImage) == 16);
static_assert(offsetof(TraceRecord, readImage) == 96);

// The trace file of one engine: open while tracing was asked for, closed by the engine.
class CloneTrace {
public:
    ~CloneTrace() { Close(); }
    // Creates (empties) the file; a failure leaves tracing off without a report.
    void Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    // Appends one record stamped with the local time.
    void Append(const RadioImage& writeImage, const RadioImage& readImage);
    // Appends one record whose time field holds `mark` instead (at most 15 characters).
    void AppendMark(const char* mark, const RadioImage& writeImage, const RadioImage& readImage);

private:
    void Write(TraceRecord& record, const RadioImage& writeImage, const RadioImage& readImage);

    std::FILE* file_ = nullptr;
};

// Writes the 8192 bytes of an image to a file, replacing it; false when it cannot be created.
bool DumpImageFile(const std::string& path, const RadioImage& image);

}  // namespace orven
