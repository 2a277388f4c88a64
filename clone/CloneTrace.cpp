#include "clone/CloneTrace.h"

#include <chrono>
#include <cstring>
#include <ctime>

namespace orven {

namespace {

void StampTime(char (&text)[16]) {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    std::memset(text, 0, sizeof text);
    std::snprintf(text, sizeof text, "T%d:%d:%d:%u", local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<unsigned>(ms));
}

}  // namespace

void CloneTrace::Open(const std::string& path) {
    Close();
    file_ = std::fopen(path.c_str(), "wb");
}

void CloneTrace::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

void CloneTrace::Append(const RadioImage& writeImage, const RadioImage& readImage) {
    if (!file_) return;
    TraceRecord record{};
    StampTime(record.time);
    Write(record, writeImage, readImage);
}

void CloneTrace::AppendMark(const char* mark, const RadioImage& writeImage, const RadioImage& readImage) {
    if (!file_) return;
    TraceRecord record{};
    std::strncpy(record.time, mark, sizeof record.time - 1);
    Write(record, writeImage, readImage);
}

void CloneTrace::Write(TraceRecord& record, const RadioImage& writeImage, const RadioImage& readImage) {
    std::memcpy(record.writeImage, writeImage.data(), kTraceImageBytes);
    std::memcpy(record.readImage, readImage.data(), kTraceImageBytes);
    std::fwrite(&record, sizeof record, 1, file_);
    std::fflush(file_);
}

bool DumpImageFile(const std::string& path, const RadioImage& image) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(image.data(), 1, image.size(), file) == image.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace orven
