// A zip file of a few hundred small files, as a radio archive travels between machines: written
// with every file stored as it is (the files are small and an image hardly compresses), read with
// its files stored or deflated, as the usual tools make them. Every file's CRC-32 is checked.
// Only what such a file needs: no encryption, no Zip64, no split archives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orven {

// Together the files of a zip may hold at most this much: an archive of thousands of entries,
// far less than a file built to exhaust the memory that takes it in.
inline constexpr std::size_t kMaxZipContentBytes = std::size_t{256} << 20;

struct ZipMember {
    std::string name;  // its path inside the zip, '/' between folders; a folder's ends with '/'
    std::vector<std::uint8_t> bytes;
};

// The date and time every member is stamped with (local time, as zip keeps it).
struct ZipTime {
    int year = 1980, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
};

// CRC-32 as zip (and PNG, and Ethernet) computes it.
std::uint32_t Crc32(std::span<const std::uint8_t> bytes);

// The members, in order, each stored; names are kept as given and marked as UTF-8.
std::vector<std::uint8_t> WriteZip(const std::vector<ZipMember>& members, const ZipTime& time);

// The members of a zip, in the order of its central directory (folders included), or nothing with
// `why` set: not a zip file, damaged (a CRC or a size that does not match), or using what this
// reader does not (encryption, Zip64, another compression than deflate).
std::optional<std::vector<ZipMember>> ReadZip(std::span<const std::uint8_t> bytes, std::string& why);

}  // namespace orven
