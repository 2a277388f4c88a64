// The frequency table report (FreqTabl.txt): the channel store of the settings as text, one
// line per channel, in sections per band.
#pragma once

#include "files/ReportTime.h"
#include "model/RadioSettings.h"

#include <cstddef>
#include <string>

namespace orven {

// The slot ranges the report walks; each walk also stops at the first unused slot.
struct ReportSlotRange {
    std::size_t first;
    std::size_t count;
};
inline constexpr ReportSlotRange kReportIntSlots{0, 80};
inline constexpr ReportSlotRange kReportPrivateSlots{300, 30};
inline constexpr ReportSlotRange kReportUsaSlots{100, 80};
inline constexpr ReportSlotRange kReportCanSlots{200, 80};
inline constexpr ReportSlotRange kReportWxSlots{390, 10};

// The date line, an empty line, the column heading, the INT section (INT channels followed by
// the private ones) and, for each of USA, CAN and WX whose band flag is set, its section.
// Lines end with "\n".
std::string FrequencyReportText(const RadioSettings& settings, const ReportTime& time);

// One channel's line, "\n" included.
std::string FrequencyReportLine(const ChannelRecord& channel);

// Writes the report text to path, replacing any earlier file; false when it cannot.
bool WriteFrequencyReport(const std::string& path, const RadioSettings& settings,
                          const ReportTime& time);

}  // namespace orven
