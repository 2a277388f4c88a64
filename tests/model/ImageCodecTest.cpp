#include "model/ImageCodec.h"

#include "support/Documents.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace orven {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using Bytes = std::vector<std::uint8_t>;

Bytes Slice(const RadioImage& img, std::size_t addr, std::size_t n) {
    return Bytes(img.begin() + addr, img.begin() + addr + n);
}

std::string Label(const ChannelRecord& r) { return std::string(r.label, strnlen(r.label, 4)); }

// ---- pieces -------------------------------------------------------------------------------

// Codes 100 up take a letter, a second letter is lost and a lone digit is the tens; from 150 on
// the label reads as empty with the units digit behind the NUL.
TEST(ImageCodecPieces, LabelCodesBothWays) {
    const std::pair<const char*, int> encode[] = {{"L5", 115}, {"C9", 149}, {"1A", 10}, {"7", 70}};
    for (const auto& [label, code] : encode) EXPECT_EQ(LabelCode(label), code) << label;
    char label[4] = {'x', 'x', 'x', 'x'};
    LabelOfCode(131, label);
    EXPECT_EQ(std::string(label, 4), std::string("A1\0\0", 4));
    LabelOfCode(255, label);
    EXPECT_EQ(std::string(label, 4), std::string("\0" "5\0\0", 4));
}

// 156.8 MHz at each step index: 6.25 kHz for index 0 and any unknown one; RX above 19.65 MHz
// for mid index 0, 38.85 MHz for any other.
TEST(ImageCodecPieces, StepCountsAndFrequencies) {
    struct Case { int step; int mid; std::uint16_t tx; std::uint16_t rx; };
    const Case cases[] = {
        {2, 1, 6272, 4718},     // 156.8 * 40; 117.95 * 40
        {-1, 5, 25088, 18872},  // 156.8 * 160; 117.95 * 160
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TxSteps(156.8, c.step), c.tx) << c.step;
        EXPECT_EQ(RxSteps(156.8, c.mid, c.step), c.rx) << c.step;
        EXPECT_NEAR(TxFrequency(c.tx, c.step), 156.8, 1e-9) << c.step;
        EXPECT_NEAR(RxFrequency(c.rx, c.mid, c.step), 156.8, 1e-9) << c.step;
    }
    // Out of range: the low 16 bits of the integer part, without undefined behaviour.
    EXPECT_EQ(RxSteps(0.0, 0, 1), 0xF9DD);  // -1571.99999 -> -1571
    EXPECT_EQ(TxSteps(std::nan(""), 0), 0);
}

// ---- encode and decode ---------------------------------------------------------------------

class ImageCodecTest : public ::testing::Test {
protected:
    void SetUp() override {
        state = FreshAppState();
        std::memset(&settings, 0, sizeof settings);
    }

    int Encode() { return ImageCodec(state, settings, write, read).Encode(); }
    int Decode() { return ImageCodec(state, settings, write, read).Decode(); }

    // Everything that was encoded is what the radio sends back.
    void RoundTrip() {
        ASSERT_EQ(Encode(), 0);
        read = write;
        ASSERT_EQ(Decode(), 0);
    }

    AppState state{};
    RadioSettings settings{};
    RadioImage write{};
    RadioImage read{};
};

TEST_F(ImageCodecTest, EuropeanDocumentEncodesToTheDocumentedBytes) {
    settings = *test::EuropeanDocument();
    write.fill(0xEE);
    ASSERT_EQ(Encode(), 0);

    // Identities as decimal pairs: ATIS 9 211987654, MMSI 235012345 0; NMEA 654321 = 0x09FBF1;
    // steps 12.5 and 25 kHz; bands INT (bit 2), INT narrow (bit 3), Private (bit 6) and WX (bit 7).
    const std::pair<std::size_t, Bytes> header[] = {
        {0x0104, {1}},
        {0x011A, {1, 92, 11, 98, 76, 54, 1, 23, 50, 12, 34, 50}},
        {0x0135, {0xF1, 0xFB, 0x09, '1', '2', '3', '4', '5', '6', '7', '8'}},
        {0x0226, {100}},
        {0x02F0, {1, 2}},
        {0x02FD, {1, 0xCC}},
    };
    RadioImage expected{};
    for (const auto& [addr, bytes] : header) std::copy(bytes.begin(), bytes.end(), expected.begin() + addr);
    // Everything below the channel records, including the bytes outside 0x0100..0x06FF.
    EXPECT_EQ(Slice(write, 0, 0x0300), Slice(expected, 0, 0x0300));
    EXPECT_THAT(Slice(write, 0x06E8, 0x2000 - 0x06E8), Each(0));

    // Record 1 "L1": code 111; TX 156.0875 * 80 = 12487 = 0x30C7;
    // RX (156.075 - 19.65) * 40 = 5457 = 0x1551; usage 1.
    EXPECT_THAT(Slice(write, 0x030A, 10),
                ElementsAre(1, 0x6F, 0, 0, 0, 0xC7, 0x30, 0x51, 0x15, 0x01));
    // Record 99 at 0x06DE "89": code 89; TX 156.6625 * 80 = 12533 = 0x30F5;
    // RX (156.675 - 19.65) * 40 = 5481 = 0x1569; usage 27.
    EXPECT_THAT(Slice(write, 0x06DE, 10),
                ElementsAre(99, 89, 0, 0, 0, 0xF5, 0x30, 0x69, 0x15, 0x1B));
}

TEST_F(ImageCodecTest, UsaModelWritesNoPrivateChannels) {
    LoadDefaults(settings, kModelUsa);
    for (int i = 0; i < 5; ++i) {
        CopyText(PrivateChannel(settings, i).label, "12");
        PrivateChannel(settings, i).txMHz = 156.8;
        PrivateChannel(settings, i).inUse = 1;
    }
    write.fill(0xEE);
    ASSERT_EQ(Encode(), 0);

    // USA defaults: USA, INT, CAN, Private, WX = bits 0, 2, 4, 6, 7 = 0xD5; RX step 12.5 kHz.
    // No identity text, so nothing else.
    RadioImage expected{};
    expected[0x0104] = expected[0x02F1] = 1;
    expected[0x02FE] = 0xD5;
    EXPECT_EQ(write, expected);
}

// Narrow bands take the odd bits; the model and the steps go out as bytes and come back signed.
TEST_F(ImageCodecTest, HeaderBytesBothWays) {
    settings.bandUSANarrow = settings.bandINTNarrow = settings.bandCANNarrow = settings.bandWX = 1;
    settings.model = -3;         // any non-zero model is Europe
    settings.txStepIndex = 258;  // low byte 2
    ASSERT_EQ(Encode(), 0);
    EXPECT_THAT(Slice(write, 0x02FD, 2), ElementsAre(1, 0xAA));
    EXPECT_EQ(write[0x02F0], 2);

    read[0x02FD] = 0xFF, read[0x02F0] = 0xFE;
    ASSERT_EQ(Decode(), 0);
    EXPECT_EQ(settings.model, -1);
    EXPECT_EQ(settings.txStepIndex, -2);
}

TEST_F(ImageCodecTest, DecodesRecordFlagsAndIdentities) {
    // Flags 0x0000 (ATIS receive), 0x0080 (none), 0x0180 (1 W ATIS wins); code 155 reads as "".
    const std::uint8_t records[3][10] = {
        {0, 155, 0, 0x00, 0x00, 0, 0, 0, 0, 0},
        {1, 131, 0, 0x80, 0x00, 0, 0, 0, 0, 200},
        {2, 10, 0, 0x80, 0x01, 0, 0, 0, 0, 0},
    };
    std::memcpy(&read[0x0300], records, sizeof records);
    read[0x0226] = 3;
    // ATIS present (any non-zero value), 91 23 45 67 89; MMSI present, bytes a radio may hold.
    const std::uint8_t identities[] = {7, 91, 23, 45, 67, 89, 1, 255, 100, 0, 9, 99};
    std::memcpy(&read[0x011A], identities, sizeof identities);
    ASSERT_EQ(Decode(), 0);

    const char* labels[] = {"", "A1", "10"};
    ASSERT_EQ(PrivateChannelCount(settings), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(PrivateChannel(settings, i).atisRx, i == 0 ? 1u : 0u) << i;
        EXPECT_EQ(PrivateChannel(settings, i).atis1W, i == 2 ? 1u : 0u) << i;
        EXPECT_EQ(Label(PrivateChannel(settings, i)), labels[i]) << i;
    }
    EXPECT_EQ(PrivateChannel(settings, 1).usage, 200);
    // The ATIS drops its implied leading 9, the MMSI its implied trailing 0. Bytes above 99
    // are rendered, not refused: 255 -> '0' + 25 = 'I', '5'; 100 -> ':', '0'. No document may
    // program such an MMSI, so it is the radio's to keep: a write of the document keeps it.
    EXPECT_EQ(settings.atisByUser, 0u);
    EXPECT_STREQ(settings.atisId, "123456789");
    EXPECT_EQ(settings.mmsiByUser, 1u);
    EXPECT_STREQ(settings.mmsiId, "I5:000099");
}

// An identity goes out only when it is not the user's to enter on the radio and its text reads
// as a number of at least 1; the ATIS gets its leading 9, the MMSI its trailing 0.
TEST_F(ImageCodecTest, IdentitiesProgrammedOnlyWhenThePcOwnsThem) {
    const std::string zeros(sizeof settings.atisId, '0'), sevens(sizeof settings.atisId, '7');
    struct Case { std::uint32_t atisByUser; std::string atis, mmsi; Bytes bytes; };
    const Case cases[] = {
        {1, "123456789", "123456789", {0, 0, 0, 0, 0, 0, 1, 12, 34, 56, 78, 90}},
        {0, "000000000", "-12345678", Bytes(12, 0)},
        // "912A456789" -> 91 2 45 67 89; " 123456780" -> 0 23 45 67 80.
        {0, "12A456789", " 12345678", {1, 91, 2, 45, 67, 89, 1, 0, 23, 45, 67, 80}},
        // Slots without a NUL: read past its end, the zeros would run into the MMSI digits; a
        // full slot of digits is a number whose first 9 digits are programmed.
        {0, zeros, "123456789", {0, 0, 0, 0, 0, 0, 1, 12, 34, 56, 78, 90}},
        {0, sevens, "", {1, 97, 77, 77, 77, 77, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        settings.atisByUser = c.atisByUser;
        std::memset(settings.atisId, 0, sizeof settings.atisId);
        std::memcpy(settings.atisId, c.atis.data(), c.atis.size());
        CopyText(settings.mmsiId, c.mmsi.c_str());
        ASSERT_EQ(Encode(), 0);
        EXPECT_EQ(Slice(write, 0x011A, 12), c.bytes) << c.atis << " / " << c.mmsi;
    }
}

// A radio without an NMEA2000 number, or with one no document may program (more than six
// digits), reads as blank: the document writes again and keeps the radio's own. Six digits come
// back as six, leading zeros and all.
TEST_F(ImageCodecTest, NmeaNumberKeepsItsLow24BitsAndTheSerialItsFirst8Characters) {
    struct Case { std::string text; Bytes bytes; const char* readBack; };
    CopyText(settings.serialNo, "5");  // what a full NMEA slot read past its end would run into
    const Case cases[] = {
        {std::string(sizeof settings.nmeaNo, '0'), {0, 0, 0}, ""},
        {"16900672", {0x40, 0xE2, 0x01}, "123456"},  // 16777216 + 123456
        {"000123", {0x7B, 0, 0}, "000123"},
        {"-5", {0, 0, 0}, ""},
        // Beyond the 32-bit range the number stops at 2^31 - 1 = 0x7FFFFFFF.
        {"99999999999", {0xFF, 0xFF, 0xFF}, ""},
    };
    for (const Case& c : cases) {
        std::memset(settings.nmeaNo, 0, sizeof settings.nmeaNo);
        std::memcpy(settings.nmeaNo, c.text.data(), c.text.size());
        RoundTrip();
        EXPECT_EQ(Slice(write, 0x0135, 3), c.bytes) << c.text;
        EXPECT_STREQ(settings.nmeaNo, c.readBack) << c.text;
    }

    CopyText(settings.serialNo, "123456789");
    ASSERT_EQ(Encode(), 0);
    EXPECT_EQ(write[0x0138 + 8], 0);
    std::memcpy(&read[0x0138], "ABCDEFGHIJ", 10);
    ASSERT_EQ(Decode(), 0);
    EXPECT_STREQ(settings.serialNo, "ABCDEFGH");
}

TEST_F(ImageCodecTest, PrivateCountAbove100StopsAtTheLastSlot) {
    // On the heap, so that a record stored past the end of the document is caught by the
    // address sanitizer.
    auto doc = std::make_unique<RadioSettings>();
    for (std::size_t i = 0; i < 255; ++i) {
        read[0x0300 + 10 * i] = static_cast<std::uint8_t>(i);
        read[0x0301 + 10 * i] = 42;
    }
    for (std::uint8_t count : {std::uint8_t{101}, std::uint8_t{255}}) {
        read[0x0226] = count;
        ASSERT_EQ(ImageCodec(state, *doc, write, read).Decode(), 0);
        EXPECT_EQ(PrivateChannelCount(*doc), 100u);
        EXPECT_EQ(Label(PrivateChannel(*doc, 99)), "42");
        EXPECT_THAT(std::vector<std::uint8_t>(doc->reserved3, doc->reserved3 + 64), Each(0));
    }
}

TEST_F(ImageCodecTest, DecodeCarriesNothingOverFromThePreviousSettings) {
    // What an empty image decodes to, written out field by field.
    RadioSettings expected{};
    std::memset(&expected, 0, sizeof expected);
    expected.atisByUser = expected.mmsiByUser = 1;
    CopyText(expected.modelName, "ORVEN");
    CopyText(expected.brandName, "Corvantexia");

    for (int modelType : {kModelUsa, kModelEurInt}) {
        std::memset(&settings, 0xAB, sizeof settings);
        state.modelType = modelType;
        ASSERT_EQ(Decode(), 0);
        EXPECT_EQ(std::memcmp(&settings, &expected, sizeof settings), 0) << modelType;
    }
}

}  // namespace
}  // namespace orven
