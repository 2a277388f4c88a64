#include "link/HidReportDescriptor.h"

#include <algorithm>
#include <map>
#include <vector>

namespace orven {
namespace {

// Item prefixes with the size bits masked off.
constexpr std::uint8_t kItemInput = 0x80;
constexpr std::uint8_t kItemOutput = 0x90;
constexpr std::uint8_t kItemReportSize = 0x74;
constexpr std::uint8_t kItemReportId = 0x84;
constexpr std::uint8_t kItemReportCount = 0x94;
constexpr std::uint8_t kItemPush = 0xA4;
constexpr std::uint8_t kItemPop = 0xB4;
constexpr std::uint8_t kLongItem = 0xFE;

struct Globals {
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint32_t reportId = 0;
};

std::uint32_t ItemValue(const std::uint8_t* data, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value |= static_cast<std::uint32_t>(data[i]) << (8 * i);
    }
    return value;
}

std::size_t LengthOf(const std::map<std::uint32_t, std::uint64_t>& bitsById) {
    std::uint64_t most = 0;
    for (const auto& [id, bits] : bitsById) {
        most = std::max(most, bits);
    }
    return most == 0 ? 0 : 1 + static_cast<std::size_t>((most + 7) / 8);
}

}  // namespace

HidReportLengths ParseReportLengths(const std::uint8_t* descriptor, std::size_t size) {
    std::map<std::uint32_t, std::uint64_t> inputBits;
    std::map<std::uint32_t, std::uint64_t> outputBits;
    std::vector<Globals> stack;
    Globals globals;
    std::size_t pos = 0;
    while (pos < size) {
        const std::uint8_t prefix = descriptor[pos];
        if (prefix == kLongItem) {
            if (pos + 1 >= size) {
                break;
            }
            pos += 3 + descriptor[pos + 1];
            continue;
        }
        const std::size_t dataSize = (prefix & 0x03) == 3 ? 4 : (prefix & 0x03);
        if (pos + 1 + dataSize > size) {
            break;
        }
        const std::uint32_t value = ItemValue(descriptor + pos + 1, dataSize);
        const std::uint64_t fieldBits = std::uint64_t{globals.reportSize} * globals.reportCount;
        switch (prefix & 0xFC) {
        case kItemInput: inputBits[globals.reportId] += fieldBits; break;
        case kItemOutput: outputBits[globals.reportId] += fieldBits; break;
        case kItemReportSize: globals.reportSize = value; break;
        case kItemReportCount: globals.reportCount = value; break;
        case kItemReportId: globals.reportId = value; break;
        case kItemPush: stack.push_back(globals); break;
        case kItemPop:
            if (!stack.empty()) {
                globals = stack.back();
                stack.pop_back();
            }
            break;
        default: break;
        }
        pos += 1 + dataSize;
    }
    return {LengthOf(inputBits), LengthOf(outputBits)};
}

}  // namespace orven
