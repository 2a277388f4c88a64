// The zip codec against the usual tools: what it writes, unzip reads; what zip writes (stored or
// deflated), it reads; and every kind of damage is named, never taken.
#include "files/Inflate.h"
#include "files/ZipFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <random>

namespace orven {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FromHex(const std::string& hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(n);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

// The spreadsheet text whose deflate data (a dynamic block) is kDynamicHex.
std::string SheetText() {
    std::string text = "Label,TX MHz,RX MHz,Usage\r\n";
    for (int i = 0; i < 40; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "P%d,157.%03d00,161.%03d00,Port ops\r\n", i % 10, i * 25 % 1000, i * 25 % 1000);
        text += line;
    }
    return text;
}

constexpr const char* kPhrase =
    "Channel 16 is the distress channel. Channel 16 is the distress channel. Channel 16 is the distress channel. "
    "MMSI 211234560";
// Made by zlib: the phrase as one fixed-code block, as one stored block, and the sheet as a dynamic block.
constexpr const char* kFixedHex =
    "73ce48cccb4bcd51303453c82c5628c9485548c92c2e294a2d2e56488648e9293853498daf6fb0a78291a1a191b189a9990100";
constexpr const char* kStoredHex =
    "017a0085ff4368616e6e656c20313620697320746865206469737472657373206368616e6e656c2e204368616e6e656c20313620697320746865"
    "206469737472657373206368616e6e656c2e204368616e6e656c20313620697320746865206469737472657373206368616e6e656c2e204d4d53"
    "4920323131323334353630";
constexpr const char* kDynamicHex =
    "6dd2c14a04311084e1bbe03bec030c32e9a4d3c91b78505844c1eb0a8b1761c5dd934faf4ef44742cd6572289a8fa2ee0e2fc7b7e5f179777ff"
    "bb93c8cdfd3f9f07abcbedaaf4bf2b8597fbe25d5f4fbda9f3e2ebbd3fbf93b9046c0fc2fb0bdfe056c049c0b3e5dc823105c88e942d902094"
    "39a0d3e0218d26ca8238021cd8618010c6936b42d60186c36f411c060b361346918cc659386c142369931e45536993164934d660cd9659319430"
    "ed964c15056d964c1504c36593014974d160c2564938ec1f5261d83eb4d3a06d79b740cae37593154bdc98aa1ea4d560c556fb262a87a938121f"
    "4260343e84d0686d09b0c0ca137d93034bdc986a1e94d360c4d6fb261687a931d43d79bec18bade64c7d0f5263b863e19be00";

TEST(InflateTest, EveryKindOfBlockInflatesAndDamageIsRefused) {
    const struct {
        const char* hex;
        std::string text;
    } cases[] = {{kFixedHex, kPhrase}, {kStoredHex, kPhrase}, {kDynamicHex, SheetText()}};
    for (const auto& c : cases) {
        const Bytes data = FromHex(c.hex);
        Bytes out;
        ASSERT_TRUE(Inflate(data, c.text.size(), out)) << c.hex;
        EXPECT_EQ(out, FromText(c.text));
        EXPECT_FALSE(Inflate(data, c.text.size() - 1, out)) << "more bytes than the size given";
        EXPECT_FALSE(Inflate(data, c.text.size() + 1, out)) << "fewer bytes than the size given";
        EXPECT_FALSE(Inflate(std::span(data).first(data.size() / 2), c.text.size(), out)) << "cut short";
    }
    Bytes out;
    // A stored block whose length and its complement disagree; a block of the reserved type 3.
    EXPECT_FALSE(Inflate(FromHex("0105000000"), 5, out));
    EXPECT_FALSE(Inflate(FromHex("07"), 0, out));
    // A fixed block whose first code is a match reaching back before the first byte.
    EXPECT_FALSE(Inflate(FromHex("0302"), 3, out)) << "a match before any byte";
}

class ZipFileTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = dir_.File(name);
        test::WriteBytes(path, bytes);
        return path;
    }
    test::ProcessResult Run(const std::string& command) { return test::RunProcess(command, dir_.path()); }
    test::TempDir dir_;
};

TEST_F(ZipFileTest, WhatItWritesUnzipReadsByteForByte) {
    const std::vector<ZipMember> members = {
        {"archive/", {}},
        {"archive/20261206/2026-12-07_101530_read/image.bin", RandomBytes(8192, 1)},
        {"archive/programming.log", FromText("{\"time\":\"2026-12-07 10:15:30\"}\n")},
        {"archive/empty", {}},
    };
    Write("out.zip", WriteZip(members, {2026, 12, 7, 10, 15, 30}));
    const auto tested = Run("unzip -tq out.zip");
    EXPECT_EQ(tested.exitCode, 0) << tested.out << tested.err;
    const auto listed = Run("unzip -Z -T out.zip archive/programming.log");
    EXPECT_NE(listed.out.find("20261207.101530"), std::string::npos) << "stamped with the time given: " << listed.out;
    ASSERT_EQ(Run("unzip -q out.zip -d unpacked").exitCode, 0);
    for (const ZipMember& m : members) {
        if (m.name.back() == '/') continue;
        EXPECT_EQ(test::ReadBytes(dir_.File("unpacked/" + m.name)), m.bytes) << m.name;
    }
    std::string why;
    const auto back = ReadZip(test::ReadBytes(dir_.File("out.zip")), why);
    ASSERT_TRUE(back) << why;
    ASSERT_EQ(back->size(), members.size());
    for (std::size_t i = 0; i < members.size(); ++i) EXPECT_EQ((*back)[i].bytes, members[i].bytes) << members[i].name;
}

TEST_F(ZipFileTest, WhatZipWritesStoredOrDeflatedReadsBack) {
    std::filesystem::create_directories(dir_.File("in/a"));
    const Bytes sheet = FromText(SheetText()), noise = RandomBytes(5000, 2);
    Write("in/a/sheet.csv", sheet);  // deflated
    Write("in/noise.bin", noise);    // zip stores what does not shrink
    ASSERT_EQ(test::RunProcess("zip -q -r -9 ../made.zip .", dir_.File("in")).exitCode, 0);
    std::string why;
    const auto members = ReadZip(test::ReadBytes(dir_.File("made.zip")), why);
    ASSERT_TRUE(members) << why;
    std::map<std::string, Bytes> byName;
    for (const ZipMember& m : *members) byName[m.name] = m.bytes;
    EXPECT_EQ(byName["a/sheet.csv"], sheet);
    EXPECT_EQ(byName["noise.bin"], noise);
    EXPECT_TRUE(byName.count("a/")) << "folders are listed too";
}

TEST_F(ZipFileTest, DamageIsNamedAndNothingIsTaken) {
    const Bytes payload = FromText(SheetText());
    const Bytes good = WriteZip({{"sheet.csv", payload}}, {});
    constexpr std::size_t kData = 30 + 9;  // after the local header and the name
    constexpr std::size_t kCentral = kData + 1347;
    const auto damaged = [&](const std::function<void(Bytes&)>& damage) {
        Bytes zip = good;
        damage(zip);
        std::string why;
        EXPECT_FALSE(ReadZip(zip, why));
        return why;
    };
    EXPECT_EQ(damaged([](Bytes& z) { z[kData + 100] ^= 1; }), "sheet.csv: its CRC-32 does not match");
    EXPECT_EQ(damaged([](Bytes& z) { z.resize(z.size() - 1); }), "not a zip file");
    EXPECT_EQ(damaged([](Bytes& z) { z.assign(100, 'x'); }), "not a zip file");
    EXPECT_EQ(damaged([](Bytes& z) { z[kCentral + 8] = 1; }), "sheet.csv: encrypted, which is not supported");
    EXPECT_EQ(damaged([](Bytes& z) { z[kCentral + 10] = 12; }),
              "sheet.csv: compressed in a way other than deflate, which is not supported");
    EXPECT_EQ(damaged([](Bytes& z) { z[kCentral + 42] = 0xFF; }), "sheet.csv: its header is missing");
    EXPECT_EQ(damaged([](Bytes& z) { z[kCentral] = 'X'; }), "the zip file's directory is damaged");
    // A deflated member that claims to unpack to 300 MB is refused before it is unpacked.
    EXPECT_EQ(damaged([](Bytes& z) {
                  z[kCentral + 10] = 8;
                  z[kCentral + 24 + 3] = 0x12;
              }),
              "it would unpack to more than 256 MB");
}

}  // namespace
}  // namespace orven
