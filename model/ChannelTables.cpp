#include "model/ChannelTables.h"

#include <array>

namespace orven {

namespace {

// A table entry as it reads in the channel plan: frequencies in units of 100 Hz, so 156.0500 MHz
// is written 1560500 and the table stays free of floating point.
struct TableLine {
    std::uint16_t number;
    std::uint32_t tx100Hz;  // 0 for a receive-only channel
    std::uint32_t rx100Hz;
    std::uint8_t usage;
};

consteval TableLine Duplex(int number, std::uint32_t tx100Hz, std::uint32_t rx100Hz, int usage) {
    return {static_cast<std::uint16_t>(number), tx100Hz, rx100Hz, static_cast<std::uint8_t>(usage)};
}
consteval TableLine Simplex(int number, std::uint32_t f100Hz, int usage) {
    return Duplex(number, f100Hz, f100Hz, usage);
}
consteval TableLine RxOnly(int number, std::uint32_t rx100Hz, int usage) {
    return Duplex(number, 0, rx100Hz, usage);
}

// 6.25 kHz is 62.5 units of 100 Hz. A frequency off that grid cannot be stored: the throw makes
// the table's constant evaluation, and so the build, fail.
consteval std::uint16_t TxValue(std::uint32_t f100Hz) {
    if (f100Hz * 2 % 125 != 0) throw "TX frequency is not a whole number of 6.25 kHz steps";
    return static_cast<std::uint16_t>(f100Hz * 2 / 125);
}

// 12.5 kHz is 125 units of 100 Hz.
consteval std::uint16_t RxValue(std::uint32_t f100Hz) {
    if (f100Hz % 125 != 0) throw "RX frequency is not a whole number of 12.5 kHz steps";
    if (f100Hz / 125 < static_cast<std::uint32_t>(kPresetRxBase)) throw "RX frequency below 19.65 MHz";
    return static_cast<std::uint16_t>(f100Hz / 125 - kPresetRxBase);
}

template <std::size_t N>
consteval std::array<PresetRecord, N> BuildTable(const std::array<TableLine, N>& lines) {
    static_assert(N <= 256, "a position is one byte");
    std::array<PresetRecord, N> table{};
    for (std::size_t i = 0; i < N; ++i) {
        const TableLine& l = lines[i];
        table[i] = {static_cast<std::uint8_t>(i), l.number, TxValue(l.tx100Hz), RxValue(l.rx100Hz),
                    l.usage};
    }
    return table;
}

// The narrow-band lines of a wide table: its first `Shifted` channels as 4xx channels one
// 12.5 kHz step higher without usage, then every channel as a 2xx channel.
constexpr std::uint16_t kNarrowShiftedBase = 400;
constexpr std::uint16_t kNarrowCopyBase = 200;
constexpr std::uint32_t kNarrowStep100Hz = 125;

template <std::size_t Shifted, std::size_t N>
consteval std::array<TableLine, Shifted + N> NarrowLines(const std::array<TableLine, N>& wide) {
    static_assert(Shifted <= N);
    std::array<TableLine, Shifted + N> lines{};
    for (std::size_t i = 0; i < Shifted; ++i) {
        const TableLine& w = wide[i];
        lines[i] = {static_cast<std::uint16_t>(w.number + kNarrowShiftedBase),
                    w.tx100Hz == 0 ? 0 : w.tx100Hz + kNarrowStep100Hz, w.rx100Hz + kNarrowStep100Hz, 0};
    }
    for (std::size_t i = 0; i < N; ++i) {
        lines[Shifted + i] = wide[i];
        lines[Shifted + i].number = static_cast<std::uint16_t>(wide[i].number + kNarrowCopyBase);
    }
    return lines;
}

template <std::size_t N>
consteval std::array<TableLine, N> Replaced(std::array<TableLine, N> lines, std::size_t at, TableLine line) {
    lines[at] = line;
    return lines;
}

// INT (57)
constexpr auto kIntLines = std::to_array<TableLine>({
    Duplex(1, 1560500, 1606500, 30), Duplex(2, 1561000, 1607000, 30),
    Duplex(3, 1561500, 1607500, 30), Duplex(4, 1562000, 1608000, 11),
    Duplex(5, 1562500, 1608500, 12), Simplex(6, 1563000, 15), Duplex(7, 1563500, 1609500, 11),
    Simplex(8, 1564000, 21), Simplex(9, 1564500, 19), Simplex(10, 1565000, 21),
    Simplex(11, 1565500, 22), Simplex(12, 1566000, 12), Simplex(13, 1566500, 31),
    Simplex(14, 1567000, 12), Simplex(15, 1567500, 11), Simplex(16, 1568000, 17),
    Simplex(17, 1568500, 29), Duplex(18, 1569000, 1615000, 11), Duplex(19, 1569500, 1615500, 21),
    Duplex(20, 1570000, 1616000, 11), Duplex(21, 1570500, 1616500, 11),
    Duplex(22, 1571000, 1617000, 11), Duplex(23, 1571500, 1617500, 30),
    Duplex(24, 1572000, 1618000, 30), Duplex(25, 1572500, 1618500, 30),
    Duplex(26, 1573000, 1619000, 30), Duplex(27, 1573500, 1619500, 30),
    Duplex(28, 1574000, 1620000, 30), Duplex(60, 1560250, 1606250, 30),
    Duplex(61, 1560750, 1606750, 11), Duplex(62, 1561250, 1607250, 11),
    Duplex(63, 1561750, 1607750, 11), Duplex(64, 1562250, 1608250, 30),
    Duplex(65, 1562750, 1608750, 11), Duplex(66, 1563250, 1609250, 11), Simplex(67, 1563750, 31),
    Simplex(68, 1564250, 13), Simplex(69, 1564750, 11), Simplex(70, 1565250, 18),
    Simplex(71, 1565750, 11), Simplex(72, 1566250, 14), Simplex(73, 1566750, 11),
    Simplex(74, 1567250, 11), Simplex(75, 1567750, 11), Simplex(76, 1568250, 11),
    Simplex(77, 1568750, 14), Duplex(78, 1569250, 1615250, 20), Duplex(79, 1569750, 1615750, 21),
    Duplex(80, 1570250, 1616250, 21), Duplex(81, 1570750, 1616750, 11),
    Duplex(82, 1571250, 1617250, 11), Duplex(83, 1571750, 1617750, 30),
    Duplex(84, 1572250, 1618250, 30), Duplex(85, 1572750, 1618750, 30),
    Duplex(86, 1573250, 1619250, 30), Simplex(87, 1573750, 30), Simplex(88, 1574250, 30),
});
constexpr auto kIntTable = BuildTable(kIntLines);
static_assert(kIntTable.size() == 57);

// USA (53)
constexpr auto kUsaLines = std::to_array<TableLine>({
    Simplex(1, 1560500, 12), Simplex(3, 1561500, 26), Simplex(5, 1562500, 12),
    Simplex(6, 1563000, 15), Simplex(7, 1563500, 21), Simplex(8, 1564000, 21),
    Simplex(9, 1564500, 19), Simplex(10, 1565000, 21), Simplex(11, 1565500, 22),
    Simplex(12, 1566000, 12), Simplex(13, 1566500, 31), Simplex(14, 1567000, 12),
    RxOnly(15, 1567500, 32), Simplex(16, 1568000, 17), Simplex(17, 1568500, 27),
    Simplex(18, 1569000, 21), Simplex(19, 1569500, 21), Duplex(20, 1570000, 1616000, 11),
    Simplex(20, 1570000, 11), Simplex(21, 1570500, 26), Simplex(22, 1571000, 28),
    Simplex(23, 1571500, 26), Duplex(24, 1572000, 1618000, 30), Duplex(25, 1572500, 1618500, 30),
    Duplex(26, 1573000, 1619000, 30), Duplex(27, 1573500, 1619500, 30),
    Duplex(28, 1574000, 1620000, 30), Simplex(61, 1560750, 26), Simplex(63, 1561750, 12),
    Simplex(64, 1562250, 26), Simplex(65, 1562750, 11), Simplex(66, 1563250, 11),
    Simplex(67, 1563750, 31), Simplex(68, 1564250, 13), Simplex(69, 1564750, 13),
    Simplex(70, 1565250, 18), Simplex(71, 1565750, 13), Simplex(72, 1566250, 13),
    Simplex(73, 1566750, 11), Simplex(74, 1567250, 11), Simplex(77, 1568750, 11),
    Simplex(78, 1569250, 13), Simplex(79, 1569750, 21), Simplex(80, 1570250, 21),
    Simplex(81, 1570750, 26), Simplex(82, 1571250, 26), Simplex(83, 1571750, 26),
    Duplex(84, 1572250, 1618250, 30), Duplex(85, 1572750, 1618750, 30),
    Duplex(86, 1573250, 1619250, 30), Duplex(87, 1573750, 1619750, 30),
    Duplex(88, 1574250, 1620250, 30), Simplex(88, 1574250, 21),
});
constexpr auto kUsaTable = BuildTable(kUsaLines);
static_assert(kUsaTable.size() == 53);

// CAN (63)
constexpr auto kCanLines = std::to_array<TableLine>({
    Duplex(1, 1560500, 1606500, 30), Duplex(2, 1561000, 1607000, 30),
    Duplex(3, 1561500, 1607500, 30), Simplex(4, 1562000, 29), Simplex(5, 1562500, 12),
    Simplex(6, 1563000, 15), Simplex(7, 1563500, 21), Simplex(8, 1564000, 21),
    Simplex(9, 1564500, 19), Simplex(10, 1565000, 21), Simplex(11, 1565500, 22),
    Simplex(12, 1566000, 12), Simplex(13, 1566500, 31), Simplex(14, 1567000, 12),
    Simplex(15, 1567500, 21), Simplex(16, 1568000, 17), Simplex(17, 1568500, 27),
    Simplex(18, 1569000, 21), Simplex(19, 1569500, 28), Duplex(20, 1570000, 1616000, 28),
    Simplex(21, 1570500, 26), RxOnly(21, 1616500, 11), Simplex(22, 1571000, 28),
    Duplex(23, 1571500, 1617500, 30), Duplex(24, 1572000, 1618000, 30),
    Duplex(25, 1572500, 1618500, 30), RxOnly(25, 1618500, 30), Duplex(26, 1573000, 1619000, 30),
    Duplex(27, 1573500, 1619500, 30), Duplex(28, 1574000, 1620000, 30), RxOnly(28, 1620000, 30),
    Duplex(60, 1560250, 1606250, 30), Duplex(61, 1560750, 1606750, 26), Simplex(61, 1560750, 26),
    Simplex(62, 1561250, 28), Duplex(64, 1562250, 1608250, 30), Simplex(64, 1562250, 26),
    Simplex(65, 1562750, 11), Simplex(66, 1563250, 11), Simplex(67, 1563750, 21),
    Simplex(68, 1564250, 13), Simplex(69, 1564750, 23), Simplex(70, 1565250, 18),
    Simplex(71, 1565750, 13), Simplex(72, 1566250, 14), Simplex(73, 1566750, 23),
    Simplex(74, 1567250, 23), Simplex(75, 1567750, 11), Simplex(76, 1568250, 11),
    Simplex(77, 1568750, 11), Simplex(78, 1569250, 13), Simplex(79, 1569750, 21),
    Simplex(80, 1570250, 21), Simplex(81, 1570750, 26), Simplex(82, 1571250, 26),
    Duplex(83, 1571750, 1617750, 28), Simplex(83, 1571750, 26), RxOnly(83, 1617750, 28),
    Duplex(84, 1572250, 1618250, 30), Duplex(85, 1572750, 1618750, 30),
    Duplex(86, 1573250, 1619250, 30), Duplex(87, 1573750, 1619750, 30),
    Duplex(88, 1574250, 1620250, 30),
});
constexpr auto kCanTable = BuildTable(kCanLines);
static_assert(kCanTable.size() == 63);

// Each narrow band is its wide band twice: first as 4xx channels 12.5 kHz higher (no usage),
// for the wide table's first entries; then the whole wide table unchanged as 2xx channels.
constexpr auto kIntNarrowTable = BuildTable(NarrowLines<56>(kIntLines));
static_assert(kIntNarrowTable.size() == 113);
// The one exception the radio holds: channel 410 sits on 156.6250, not 156.5125.
constexpr auto kUsaNarrowTable = BuildTable(Replaced(NarrowLines<51>(kUsaLines), 7, Simplex(410, 1566250, 0)));
static_assert(kUsaNarrowTable.size() == 104);
constexpr auto kCanNarrowTable = BuildTable(NarrowLines<62>(kCanLines));
static_assert(kCanNarrowTable.size() == 125);

// WX (10)
constexpr auto kWxTable = BuildTable(std::to_array<TableLine>({
    RxOnly(1, 1625500, 1), RxOnly(2, 1624000, 2), RxOnly(3, 1624750, 3), RxOnly(4, 1624250, 4),
    RxOnly(5, 1624500, 5), RxOnly(6, 1625000, 6), RxOnly(7, 1625250, 7), RxOnly(8, 1616500, 8),
    RxOnly(9, 1617750, 9), RxOnly(10, 1632750, 10),
}));
static_assert(kWxTable.size() == 10);

// All (28)
constexpr auto kAllPresets = BuildTable(std::to_array<TableLine>({
    Duplex(31, 1575500, 1621500, 33), Simplex(37, 1578500, 34), Simplex(96, 1624250, 33),
    Simplex(101, 1556250, 35), Simplex(102, 1557750, 35), Simplex(103, 1558250, 35),
    Simplex(111, 1555000, 34), Simplex(112, 1555250, 34), Simplex(113, 1556500, 34),
    Simplex(121, 1578500, 33), Simplex(122, 1614250, 33), Simplex(130, 1574250, 28),
    Simplex(131, 1574500, 28), Simplex(132, 1574750, 28), Simplex(133, 1575000, 28),
    Simplex(134, 1575250, 28), Simplex(135, 1575500, 28), Simplex(136, 1575750, 28),
    Simplex(140, 1554500, 28), Simplex(141, 1555000, 28), Simplex(142, 1555500, 28),
    Simplex(143, 1556500, 28), Simplex(144, 1557500, 28), Simplex(145, 1558500, 28),
    Simplex(146, 1559000, 28), Simplex(147, 1559250, 28), Simplex(148, 1559500, 28),
    Simplex(149, 1559750, 28),
}));
static_assert(kAllPresets.size() == 28);

// UK (2)
constexpr auto kUkPresets = BuildTable(std::to_array<TableLine>({
    Simplex(121, 1578500, 33), Simplex(122, 1614250, 33),
}));
static_assert(kUkPresets.size() == 2);

// Denmark (5)
constexpr auto kDenmarkPresets = BuildTable(std::to_array<TableLine>({
    Simplex(101, 1556250, 35), Simplex(102, 1557750, 35), Simplex(103, 1558250, 35),
    Simplex(111, 1555000, 34), Simplex(112, 1555250, 34),
}));
static_assert(kDenmarkPresets.size() == 5);

// Finland (6)
constexpr auto kFinlandPresets = BuildTable(std::to_array<TableLine>({
    Simplex(101, 1556250, 35), Simplex(102, 1557750, 35), Simplex(103, 1558250, 35),
    Simplex(111, 1555000, 34), Simplex(112, 1555250, 34), Simplex(113, 1556500, 34),
}));
static_assert(kFinlandPresets.size() == 6);

// Norway (6)
constexpr auto kNorwayPresets = BuildTable(std::to_array<TableLine>({
    Simplex(101, 1556250, 35), Simplex(102, 1557750, 35), Simplex(103, 1558250, 35),
    Simplex(111, 1555000, 34), Simplex(112, 1555250, 34), Simplex(113, 1556500, 34),
}));
static_assert(kNorwayPresets.size() == 6);

// Sweden (6)
constexpr auto kSwedenPresets = BuildTable(std::to_array<TableLine>({
    Simplex(101, 1556250, 35), Simplex(102, 1557750, 35), Simplex(103, 1558250, 35),
    Simplex(111, 1555000, 34), Simplex(112, 1555250, 34), Simplex(113, 1556500, 34),
}));
static_assert(kSwedenPresets.size() == 6);

// Holland (2)
constexpr auto kHollandPresets = BuildTable(std::to_array<TableLine>({
    Duplex(31, 1575500, 1621500, 33), Simplex(37, 1578500, 34),
}));
static_assert(kHollandPresets.size() == 2);

// Belgium (2)
constexpr auto kBelgiumPresets = BuildTable(std::to_array<TableLine>({
    Duplex(31, 1575500, 1621500, 33), Simplex(96, 1624250, 33),
}));
static_assert(kBelgiumPresets.size() == 2);

constexpr std::array<std::string_view, kCountryCount> kCountryNames = {
    "All", "UK", "Denmark", "Finland", "Norway", "Sweden", "Holland", "Belgium", "None"};

// Indexed by wizard country; "None" has no table.
constexpr std::array<std::span<const PresetRecord>, kCountryNone> kCountryPresets = {
    kAllPresets,    kUkPresets,     kDenmarkPresets, kFinlandPresets,
    kNorwayPresets, kSwedenPresets, kHollandPresets, kBelgiumPresets};

std::span<const PresetRecord> RawTableOfBand(ChannelBand band) {
    switch (band) {
    case ChannelBand::INT: return kIntTable;
    case ChannelBand::USA: return kUsaTable;
    case ChannelBand::CAN: return kCanTable;
    case ChannelBand::INT_Narrow: return kIntNarrowTable;
    case ChannelBand::USA_Narrow: return kUsaNarrowTable;
    case ChannelBand::CAN_Narrow: return kCanNarrowTable;
    case ChannelBand::WX: return kWxTable;
    case ChannelBand::Private: break;
    }
    return {};
}

}  // namespace

std::span<const PresetRecord> WalkTable(std::span<const PresetRecord> table, std::size_t limit) {
    std::size_t n = 0;
    while (n < table.size() && n < limit && table[n].position == n) ++n;
    return table.first(n);
}

std::span<const PresetRecord> TableOfBand(ChannelBand band) {
    return WalkTable(RawTableOfBand(band), kMaxBandEntries);
}

std::span<const PresetRecord> PresetTable(int country) {
    if (country < 0 || country >= kCountryNone) return {};
    return WalkTable(kCountryPresets[static_cast<std::size_t>(country)], kMaxPresetEntries);
}

std::string_view CountryName(int country) {
    if (country < 0 || country >= kCountryCount) return {};
    return kCountryNames[static_cast<std::size_t>(country)];
}

}  // namespace orven
