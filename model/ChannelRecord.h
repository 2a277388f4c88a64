// One channel of the settings' channel store; its layout is the settings file's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace orven {

struct ChannelRecord {
    std::uint32_t reserved0;
    char label[4];          // normally two characters, NUL-terminated
    char usageText[13];     // copy of a usage name, at most 12 characters
    std::uint8_t usage;     // index into the usage name table
    std::uint8_t reserved1[2];
    double txMHz;           // 0 for a receive-only entry
    double rxMHz;
    std::uint32_t inUse;
    std::uint32_t lowPower;
    std::uint32_t rxOnly;
    std::uint32_t atis1W;
    std::uint32_t atisRx;
    std::uint32_t reserved2[2];
    std::uint32_t pttHigh;
    std::uint32_t reserved3[8];
};

static_assert(std::is_trivially_copyable_v<ChannelRecord> && std::is_standard_layout_v<ChannelRecord>);
static_assert(sizeof(ChannelRecord) == 104);
static_assert(offsetof(ChannelRecord, reserved0) == 0);
static_assert(offsetof(ChannelRecord, label) == 4);
static_assert(offsetof(ChannelRecord, usageText) == 8);
static_assert(offsetof(ChannelRecord, usage) == 21);
static_assert(offsetof(ChannelRecord, reserved1) == 22);
static_assert(offsetof(ChannelRecord, txMHz) == 24);
static_assert(offsetof(ChannelRecord, rxMHz) == 32);
static_assert(offsetof(ChannelRecord, inUse) == 40);
static_assert(offsetof(ChannelRecord, lowPower) == 44);
static_assert(offsetof(ChannelRecord, rxOnly) == 48);
static_assert(offsetof(ChannelRecord, atis1W) == 52);
static_assert(offsetof(ChannelRecord, atisRx) == 56);
static_assert(offsetof(ChannelRecord, reserved2) == 60);
static_assert(offsetof(ChannelRecord, pttHigh) == 68);
static_assert(offsetof(ChannelRecord, reserved3) == 72);

// True when the label has a third character: such a record ends every walk of the private list.
inline bool HasLongLabel(const ChannelRecord& r) { return r.label[0] && r.label[1] && r.label[2]; }

}  // namespace orven
