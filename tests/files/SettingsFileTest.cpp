#include "files/SettingsFile.h"

#include "files/FilesTestDir.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace orven {
namespace {

using SettingsFile = testing::FilesTestDir;

void SetChannel(ChannelRecord& r, const char* label, double tx, double rx) {
    CopyText(r.label, label);
    r.txMHz = tx;
    r.rxMHz = rx;
    r.inUse = 1;
}

// Defaults with two plausible private channels.
std::unique_ptr<RadioSettings> GoodSettings() {
    auto s = std::make_unique<RadioSettings>();
    LoadDefaults(*s, kModelUsa);
    SetChannel(PrivateChannel(*s, 0), "M1", 157.85, 157.85);
    SetChannel(PrivateChannel(*s, 1), "10", 156.5, 161.1);
    return s;
}

// A record that no file holds, to see whether a failed load touched it.
std::unique_ptr<RadioSettings> Sentinel() {
    auto s = std::make_unique<RadioSettings>();
    std::memset(s.get(), 0x3C, sizeof *s);
    return s;
}

bool Untouched(const RadioSettings& s) { return std::memcmp(&s, Sentinel().get(), sizeof s) == 0; }

TEST_F(SettingsFile, SaveOfDefaultsIsTheRawRecord) {
    RadioSettings s;
    LoadDefaults(s, kModelUsa);
    ASSERT_EQ(SaveSettingsFile(Path("a.dat"), s), kResultOk);
    const auto bytes = ReadBytes(Path("a.dat"));
    ASSERT_EQ(bytes.size(), 43816u);
    EXPECT_EQ(std::string(bytes.begin() + 43800, bytes.begin() + 43811), "Corvantexia");
    // bandINT at 16 is 1, little-endian.
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.begin() + 16, bytes.begin() + 20)),
              (std::vector<std::uint8_t>{1, 0, 0, 0}));
    // The private block, slots 300..399 at 264 + 104 * 300, is empty.
    const auto privateStart = bytes.begin() + 264 + 104 * 300;
    EXPECT_TRUE(std::all_of(privateStart, privateStart + 104 * 100, [](auto b) { return b == 0; }));
}

TEST_F(SettingsFile, LoadRefusesAnyImplausibleInUseChannel) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        std::size_t slot;
        const char* label;
        double tx, rx;
    };
    const Case cases[] = {
        {"TX above range, among good channels", 305, "M5", 175.0, 156.0},
        {"1-character label", 300, "M", 156.0, 156.0},
        {"4-character label without terminator", 300, "M1AB", 156.0, 156.0},
        {"RX just above range", 301, "10", 0.0, 174.0001},
        {"NaN RX", 301, "10", 156.0, nan},
        {"bad channel in the CAN block", 299, "22", 180.0, 156.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto s = GoodSettings();
        SetChannel(PrivateChannel(*s, 5), "M6", 160.0, 160.0);
        SetChannel(s->channels[c.slot], c.label, c.tx, c.rx);
        std::memcpy(s->channels[c.slot].label, c.label, std::min<std::size_t>(std::strlen(c.label), 4));
        EXPECT_FALSE(SettingsPassCheck(*s));
        WriteBytes(Path("bad.dat"), s.get(), sizeof *s);
        auto out = Sentinel();
        EXPECT_EQ(LoadSettingsFile(Path("bad.dat"), *out), kResultFileFormat);
        EXPECT_TRUE(Untouched(*out));
    }
}

TEST_F(SettingsFile, LoadAcceptsEdgesAndIgnoresUnusedSlots) {
    auto s = GoodSettings();
    SetChannel(PrivateChannel(*s, 2), "RX", 0.0, 156.75);     // receive only
    SetChannel(PrivateChannel(*s, 3), "ABC", 136.0, 174.0);   // 3 characters, range ends
    SetChannel(PrivateChannel(*s, 5), "M5", 0.0001, 150.0);   // at the receive-only limit
    ChannelRecord& garbage = s->channels[50];                 // not in use: never examined
    std::memset(&garbage, 0xFF, sizeof garbage);
    garbage.inUse = 0;
    s->channels[120].rxMHz = std::numeric_limits<double>::quiet_NaN();
    std::memset(s->reserved3, 0xA2, sizeof s->reserved3);
    std::memset(s->atisId + 20, 'z', 30);
    WriteBytes(Path("good.dat"), s.get(), sizeof *s);

    auto out = Sentinel();
    bool readOnly = true;
    ASSERT_EQ(LoadSettingsFile(Path("good.dat"), *out, &readOnly), kResultOk);
    EXPECT_FALSE(readOnly);
    // Bytes the program does not interpret, even past a text's terminator, go back out unchanged.
    ASSERT_EQ(SaveSettingsFile(Path("out.dat"), *out), kResultOk);
    EXPECT_EQ(ReadBytes(Path("out.dat")), ReadBytes(Path("good.dat")));
}

TEST_F(SettingsFile, OnlyAFileOfExactlyOneRecordIsRead) {
    auto s = GoodSettings();
    std::vector<std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(s.get()),
                                    reinterpret_cast<const std::uint8_t*>(s.get()) + sizeof *s);
    const std::size_t sizes[] = {0, sizeof *s - 1, sizeof *s + 1};
    for (std::size_t size : sizes) {
        SCOPED_TRACE(size);
        bytes.resize(size, 0);
        WriteBytes(Path("x.dat"), bytes.data(), bytes.size());
        auto out = Sentinel();
        EXPECT_EQ(LoadSettingsFile(Path("x.dat"), *out), kResultFileFormat);
        EXPECT_TRUE(Untouched(*out));
    }
    auto out = Sentinel();
    EXPECT_EQ(LoadSettingsFile(Path("missing.dat"), *out), kResultOpenFile);
    EXPECT_EQ(LoadSettingsFile(dir_, *out), kResultOpenFile);
    EXPECT_TRUE(Untouched(*out));
}

TEST_F(SettingsFile, FailedSaveKeepsTheEarlierFile) {
    auto earlier = GoodSettings();
    ASSERT_EQ(SaveSettingsFile(Path("a.dat"), *earlier), kResultOk);
    auto later = GoodSettings();
    later->txStepIndex = kStep25kHz;
    EXPECT_EQ(SaveSettingsFile(Path("a.dat/b.dat"), *later), kResultFileWrite);
    ExpectFailedSavesKeepTheFile(Path("a.dat"),
                                 [&] { return SaveSettingsFile(Path("a.dat"), *later) == kResultOk; });
}

}  // namespace
}  // namespace orven
