#include "files/SettingsFile.h"

#include "files/FilesTestDir.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

namespace orven {
namespace {

using SettingsFile = testing::FilesTestDir;
using test::InUseChannel;

// Defaults with two plausible private channels.
std::unique_ptr<RadioSettings> GoodSettings() {
    auto s = test::Defaults(kModelUsa);
    PrivateChannel(*s, 0) = InUseChannel("M1", 157.85, 157.85);
    PrivateChannel(*s, 1) = InUseChannel("10", 156.5, 161.1);
    return s;
}

// A record that no file holds, to see whether a failed load touched it.
std::unique_ptr<RadioSettings> Sentinel() {
    auto s = std::make_unique<RadioSettings>();
    std::memset(s.get(), 0x3C, sizeof *s);
    return s;
}

bool Untouched(const RadioSettings& s) { return std::memcmp(&s, Sentinel().get(), sizeof s) == 0; }

// Nothing of a refused file is used: one with an implausible in-use channel, one of another length
// than the record's, one that does not open.
TEST_F(SettingsFile, LoadRefusesAnyImplausibleInUseChannelOrLength) {
    const struct { const char* what; std::size_t slot; const char* label; double tx, rx; } cases[] = {
        {"TX above range, among good channels", 305, "M5", 175.0, 156.0},
        {"1-character label", 300, "M", 156.0, 156.0},
        {"4-character label without terminator", 300, "M1AB", 156.0, 156.0},
        {"RX just above range", 301, "10", 0.0, 174.0001},
        {"NaN RX", 301, "10", 156.0, std::numeric_limits<double>::quiet_NaN()},
        {"bad channel in the CAN block", 299, "22", 180.0, 156.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto s = GoodSettings();
        PrivateChannel(*s, 5) = InUseChannel("M6", 160.0, 160.0);
        s->channels[c.slot] = InUseChannel("", c.tx, c.rx);
        std::memcpy(s->channels[c.slot].label, c.label, std::min<std::size_t>(std::strlen(c.label), 4));
        WriteBytes(Path("bad.dat"), s.get(), sizeof *s);
        auto out = Sentinel();
        EXPECT_EQ(LoadSettingsFile(Path("bad.dat"), *out), kResultFileFormat);
        EXPECT_TRUE(Untouched(*out));
    }
    const auto good = GoodSettings();
    for (std::size_t size : {std::size_t{0}, sizeof *good - 1, sizeof *good + 1}) {
        std::vector<std::uint8_t> bytes(Bytes(*good).begin(), Bytes(*good).end());
        bytes.resize(size, 0);
        WriteBytes(Path("x.dat"), bytes.data(), bytes.size());
        auto out = Sentinel();
        EXPECT_EQ(LoadSettingsFile(Path("x.dat"), *out), kResultFileFormat) << size;
        EXPECT_TRUE(Untouched(*out)) << size;
    }
    auto out = Sentinel();
    EXPECT_EQ(LoadSettingsFile(Path("missing.dat"), *out), kResultOpenFile);
    EXPECT_EQ(LoadSettingsFile(dir_, *out), kResultOpenFile);
    EXPECT_TRUE(Untouched(*out));
}

// A file is the raw record: bytes the program does not interpret, even past a text's
// terminator, go back out unchanged.
TEST_F(SettingsFile, LoadAcceptsEdgesAndIgnoresUnusedSlots) {
    auto s = GoodSettings();
    PrivateChannel(*s, 2) = InUseChannel("RX", 0.0, 156.75);     // receive only
    PrivateChannel(*s, 3) = InUseChannel("ABC", 136.0, 174.0);   // 3 characters, range ends
    PrivateChannel(*s, 5) = InUseChannel("M5", 0.0001, 150.0);   // at the receive-only limit
    std::memset(&s->channels[50], 0xFF, sizeof(ChannelRecord));  // not in use: never examined
    s->channels[50].inUse = 0;
    s->channels[120].rxMHz = std::numeric_limits<double>::quiet_NaN();
    std::memset(s->reserved3, 0xA2, sizeof s->reserved3);
    std::memset(s->atisId + 20, 'z', 30);
    WriteBytes(Path("good.dat"), s.get(), sizeof *s);

    auto out = Sentinel();
    bool readOnly = true;
    ASSERT_EQ(LoadSettingsFile(Path("good.dat"), *out, &readOnly), kResultOk);
    EXPECT_FALSE(readOnly);
    ASSERT_EQ(SaveSettingsFile(Path("out.dat"), *out), kResultOk);
    EXPECT_EQ(ReadBytes(Path("out.dat")), ReadBytes(Path("good.dat")));
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
