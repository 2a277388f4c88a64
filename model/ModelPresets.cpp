#include "model/ModelPresets.h"

#include "model/ChannelList.h"
#include "model/ChannelTables.h"
#include "model/LineFormat.h"
#include "model/UsageNameTable.h"

#include <cstring>
#include <string_view>

namespace orven {

namespace {

static_assert(kMaxPresetEntries <= kMaxPrivateChannels, "a preset table fits the Private block");

ChannelRecord PresetChannel(const PresetRecord& entry) {
    ChannelRecord r{};
    CopyText(r.label, PresetLabel(entry.number).c_str());
    CopyText(r.usageText, std::string(UsageName(entry.usage)).c_str());
    r.usage = entry.usage;
    r.txMHz = PresetTxMHz(entry);
    r.rxMHz = PresetRxMHz(entry);
    r.inUse = 1;
    return r;
}

std::string PreviewLine(const ChannelRecord& r) {
    const std::string_view label = FixedSlotText(r.label);
    const std::string_view usage = UsageName(r.usage);
    return FormatLine("%.*s Tx=%8.4f Rx=%8.4f %.*s", static_cast<int>(label.size()), label.data(),
                      r.txMHz, r.rxMHz, static_cast<int>(usage.size()), usage.data());
}

}  // namespace

void LoadCountryPresets(RadioSettings& settings, int country) {
    std::memset(&PrivateChannel(settings, 0), 0, kMaxPrivateChannels * sizeof(ChannelRecord));
    std::size_t i = 0;
    for (const PresetRecord& entry : PresetTable(country))
        PrivateChannel(settings, i++) = PresetChannel(entry);
}

void BuildModelDocument(RadioSettings& settings, int modelType, int country) {
    LoadDefaults(settings, modelType);
    if (modelType != kModelUsa) LoadCountryPresets(settings, country);
}

std::vector<std::string> PresetPreviewLines(const RadioSettings& settings) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < kMaxPreviewRows; ++i) {
        const ChannelRecord& r = PrivateChannel(settings, i);
        if (r.inUse == 0 || HasLongLabel(r)) break;
        lines.push_back(PreviewLine(r));
    }
    return lines;
}

}  // namespace orven
