#include "files/ZipFile.h"

#include "files/Inflate.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <type_traits>

namespace orven {

namespace {

// The records of a zip file, little-endian and packed as the format lays them out.
#pragma pack(push, 1)
struct LocalHeader {
    std::uint32_t signature;
    std::uint16_t versionNeeded;
    std::uint16_t flags;
    std::uint16_t method;
    std::uint16_t time;
    std::uint16_t date;
    std::uint32_t crc;
    std::uint32_t compressedSize;
    std::uint32_t size;
    std::uint16_t nameLength;
    std::uint16_t extraLength;
};
struct CentralHeader {
    std::uint32_t signature;
    std::uint16_t versionMadeBy;
    std::uint16_t versionNeeded;
    std::uint16_t flags;
    std::uint16_t method;
    std::uint16_t time;
    std::uint16_t date;
    std::uint32_t crc;
    std::uint32_t compressedSize;
    std::uint32_t size;
    std::uint16_t nameLength;
    std::uint16_t extraLength;
    std::uint16_t commentLength;
    std::uint16_t disk;
    std::uint16_t internalAttributes;
    std::uint32_t externalAttributes;
    std::uint32_t localOffset;
};
struct EndRecord {
    std::uint32_t signature;
    std::uint16_t disk;
    std::uint16_t directoryDisk;
    std::uint16_t entriesOnDisk;
    std::uint16_t entries;
    std::uint32_t directorySize;
    std::uint32_t directoryOffset;
    std::uint16_t commentLength;
};
#pragma pack(pop)

static_assert(std::is_standard_layout_v<LocalHeader> && sizeof(LocalHeader) == 30);
static_assert(offsetof(LocalHeader, method) == 8 && offsetof(LocalHeader, crc) == 14);
static_assert(offsetof(LocalHeader, nameLength) == 26 && offsetof(LocalHeader, extraLength) == 28);
static_assert(std::is_standard_layout_v<CentralHeader> && sizeof(CentralHeader) == 46);
static_assert(offsetof(CentralHeader, method) == 10 && offsetof(CentralHeader, crc) == 16);
static_assert(offsetof(CentralHeader, nameLength) == 28 && offsetof(CentralHeader, externalAttributes) == 38);
static_assert(offsetof(CentralHeader, localOffset) == 42);
static_assert(std::is_standard_layout_v<EndRecord> && sizeof(EndRecord) == 22);
static_assert(offsetof(EndRecord, entries) == 10 && offsetof(EndRecord, directoryOffset) == 16);
static_assert(offsetof(EndRecord, commentLength) == 20);

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint16_t kVersion = 20;            // 2.0: folders and deflate
constexpr std::uint16_t kMadeOnUnix = 3 << 8;
constexpr std::uint16_t kFlagEncrypted = 1 << 0;
constexpr std::uint16_t kFlagUtf8 = 1 << 11;
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint32_t kFileMode = 0100644u << 16;  // a regular file, rw-r--r--
constexpr std::uint32_t kFolderMode = 040755u << 16;
constexpr std::uint32_t kZip64Mark = 0xFFFFFFFFu;
constexpr std::size_t kMaxCommentBytes = 0xFFFF;

static_assert(std::endian::native == std::endian::little, "the records are read as they lie in memory");

std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

std::uint16_t DosTime(const ZipTime& t) {
    return static_cast<std::uint16_t>((t.hour << 11) | (t.minute << 5) | (t.second / 2));
}
std::uint16_t DosDate(const ZipTime& t) {
    return static_cast<std::uint16_t>(((t.year - 1980) << 9) | (t.month << 5) | t.day);
}

template <class Record>
void Append(std::vector<std::uint8_t>& out, const Record& record) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    out.insert(out.end(), bytes, bytes + sizeof record);
}

void Append(std::vector<std::uint8_t>& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }

// The record at `at`, when the bytes hold all of it.
template <class Record>
std::optional<Record> RecordAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    if (at > bytes.size() || bytes.size() - at < sizeof(Record)) return std::nullopt;
    Record record;
    std::memcpy(&record, bytes.data() + at, sizeof record);
    return record;
}

// Where the end record starts: the last signature whose comment reaches the end of the file.
std::optional<std::size_t> FindEnd(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < sizeof(EndRecord)) return std::nullopt;
    const std::size_t last = bytes.size() - sizeof(EndRecord);
    const std::size_t first = last > kMaxCommentBytes ? last - kMaxCommentBytes : 0;
    for (std::size_t at = last + 1; at-- > first;) {
        const auto end = RecordAt<EndRecord>(bytes, at);
        if (end->signature == kEndSignature && at + sizeof(EndRecord) + end->commentLength == bytes.size()) return at;
    }
    return std::nullopt;
}

// One member's bytes from its central directory header; nothing with `why` set.
std::optional<ZipMember> ReadMember(std::span<const std::uint8_t> bytes, const CentralHeader& central, std::string name,
                                    std::string& why) {
    const auto damaged = [&](const char* what) {
        why = name + ": " + what;
        return std::nullopt;
    };
    if (central.flags & kFlagEncrypted) return damaged("encrypted, which is not supported");
    if (central.method != kStored && central.method != kDeflated)
        return damaged("compressed in a way other than deflate, which is not supported");
    if (central.size == kZip64Mark || central.compressedSize == kZip64Mark || central.localOffset == kZip64Mark)
        return damaged("a Zip64 member, which is not supported");
    const auto local = RecordAt<LocalHeader>(bytes, central.localOffset);
    if (!local || local->signature != kLocalSignature) return damaged("its header is missing");
    const std::size_t data = std::size_t{central.localOffset} + sizeof(LocalHeader) + local->nameLength + local->extraLength;
    if (data > bytes.size() || bytes.size() - data < central.compressedSize) return damaged("cut short");
    const std::span<const std::uint8_t> stored = bytes.subspan(data, central.compressedSize);
    ZipMember member{name, {}};
    if (central.method == kStored) {
        if (central.size != central.compressedSize) return damaged("its sizes do not match");
        member.bytes.assign(stored.begin(), stored.end());
    } else if (!Inflate(stored, central.size, member.bytes)) {
        return damaged("its compressed data is damaged");
    }
    if (Crc32(member.bytes) != central.crc) return damaged("its CRC-32 does not match");
    return member;
}

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
    static const std::array<std::uint32_t, 256> table = MakeCrcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (const std::uint8_t b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::vector<std::uint8_t> WriteZip(const std::vector<ZipMember>& members, const ZipTime& time) {
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> directory;
    for (const ZipMember& m : members) {
        const auto size = static_cast<std::uint32_t>(m.bytes.size());
        const std::uint32_t crc = Crc32(m.bytes);
        const auto nameLength = static_cast<std::uint16_t>(m.name.size());
        const bool folder = !m.name.empty() && m.name.back() == '/';
        const CentralHeader central{kCentralSignature, kMadeOnUnix | kVersion, kVersion, kFlagUtf8, kStored,
                                    DosTime(time), DosDate(time), crc, size, size, nameLength, 0, 0, 0, 0,
                                    folder ? kFolderMode : kFileMode, static_cast<std::uint32_t>(out.size())};
        Append(directory, central);
        Append(directory, m.name);
        Append(out, LocalHeader{kLocalSignature, kVersion, kFlagUtf8, kStored, DosTime(time), DosDate(time), crc, size,
                                size, nameLength, 0});
        Append(out, m.name);
        out.insert(out.end(), m.bytes.begin(), m.bytes.end());
    }
    const auto count = static_cast<std::uint16_t>(members.size());
    const EndRecord end{kEndSignature, 0, 0, count, count, static_cast<std::uint32_t>(directory.size()),
                        static_cast<std::uint32_t>(out.size()), 0};
    out.insert(out.end(), directory.begin(), directory.end());
    Append(out, end);
    return out;
}

std::optional<std::vector<ZipMember>> ReadZip(std::span<const std::uint8_t> bytes, std::string& why) {
    const std::optional<std::size_t> endAt = FindEnd(bytes);
    if (!endAt) {
        why = "not a zip file";
        return std::nullopt;
    }
    const EndRecord end = *RecordAt<EndRecord>(bytes, *endAt);
    if (end.disk != 0 || end.directoryDisk != 0 || end.entriesOnDisk != end.entries) {
        why = "a zip file split over several parts, which is not supported";
        return std::nullopt;
    }
    std::vector<ZipMember> members;
    std::size_t at = end.directoryOffset, total = 0;
    for (std::uint16_t i = 0; i < end.entries; ++i) {
        const auto central = RecordAt<CentralHeader>(bytes, at);
        if (!central || central->signature != kCentralSignature || at + sizeof(CentralHeader) + central->nameLength > *endAt) {
            why = "the zip file's directory is damaged";
            return std::nullopt;
        }
        const auto* name = reinterpret_cast<const char*>(bytes.data() + at + sizeof(CentralHeader));
        at += sizeof(CentralHeader) + central->nameLength + central->extraLength + central->commentLength;
        total += central->size;
        if (total > kMaxZipContentBytes) {
            why = "it would unpack to more than " + std::to_string(kMaxZipContentBytes >> 20) + " MB";
            return std::nullopt;
        }
        auto member = ReadMember(bytes, *central, std::string(name, central->nameLength), why);
        if (!member) return std::nullopt;
        members.push_back(std::move(*member));
    }
    return members;
}

}  // namespace orven
