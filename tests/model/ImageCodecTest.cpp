#include "model/ImageCodec.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace orven {
namespace {

using ::testing::ElementsAre;
using ::testing::Each;

std::vector<std::uint8_t> Slice(const RadioImage& img, std::size_t addr, std::size_t n) {
    return std::vector<std::uint8_t>(img.begin() + addr, img.begin() + addr + n);
}

std::string Label(const ChannelRecord& r) { return std::string(r.label, strnlen(r.label, 4)); }

// ---- pieces -------------------------------------------------------------------------------

TEST(ImageCodecPieces, DecimalPairsPackEachPairByItsLeadingDigits) {
    std::uint8_t out[5];
    EncodeDecimalPairs("9123456789", out);
    EXPECT_THAT(out, ElementsAre(0x5B, 0x17, 0x2D, 0x43, 0x59));  // 91 23 45 67 89

    // "2A" -> 2, " 1" -> 0, "x9" -> 0.
    EncodeDecimalPairs("912A 1x910", out);
    EXPECT_THAT(out, ElementsAre(91, 2, 0, 0, 10));

    // Only ten characters count; a short text ends at its NUL ("95000000" then nothing).
    EncodeDecimalPairs("95000000", out);
    EXPECT_THAT(out, ElementsAre(95, 0, 0, 0, 0));
    EncodeDecimalPairs("123456789012345", out);
    EXPECT_THAT(out, ElementsAre(12, 34, 56, 78, 90));
    EncodeDecimalPairs("1234567", out);  // the 7 stands alone in its pair
    EXPECT_THAT(out, ElementsAre(12, 34, 56, 7, 0));
}

TEST(ImageCodecPieces, DecimalPairsRenderAnyByteWithoutRefusing) {
    const std::uint8_t ids[5] = {0x5B, 0x17, 0x2D, 0x43, 0x59};
    EXPECT_EQ(DecodeDecimalPairs(ids), "9123456789");
    // 255 -> '0' + 25 = 'I', '0' + 5; 100 -> '0' + 10 = ':', '0'.
    const std::uint8_t odd[5] = {255, 100, 0, 9, 99};
    EXPECT_EQ(DecodeDecimalPairs(odd), "I5:0000999");
}

TEST(ImageCodecPieces, SlotNumberReadsLikeTextToIntegerWithinTheSlot) {
    EXPECT_EQ(SlotNumber("123abc", 7), 123);
    EXPECT_EQ(SlotNumber("  42", 5), 42);
    EXPECT_EQ(SlotNumber("-7", 3), -7);
    EXPECT_EQ(SlotNumber("abc", 4), 0);
    EXPECT_EQ(SlotNumber("", 1), 0);
    EXPECT_EQ(SlotNumber("99999999999", 12), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(SlotNumber("-99999999999", 13), std::numeric_limits<std::int32_t>::min());
    // A slot of 3 bytes without a NUL: the digits after it are not part of the number.
    const char buffer[] = "12345";
    EXPECT_EQ(SlotNumber(buffer, 3), 123);
}

TEST(ImageCodecPieces, LabelCodesOfDigitsAndLetters) {
    EXPECT_EQ(LabelCode("1A"), 10);  // a second letter is lost
    EXPECT_EQ(LabelCode("05"), 5);
    EXPECT_EQ(LabelCode("99"), 99);
    EXPECT_EQ(LabelCode("F3"), 103);
    EXPECT_EQ(LabelCode("L0"), 110);
    EXPECT_EQ(LabelCode("M9"), 129);
    EXPECT_EQ(LabelCode("A1"), 131);
    EXPECT_EQ(LabelCode("CC"), 140);
    EXPECT_EQ(LabelCode("X5"), 5);  // unknown first character counts 0
    EXPECT_EQ(LabelCode("7"), 70);
    EXPECT_EQ(LabelCode(""), 0);
}

TEST(ImageCodecPieces, LabelsOfCodes) {
    struct Case { std::uint8_t code; const char* label; };
    const Case cases[] = {{10, "10"},  {0, "00"},   {99, "99"},  {100, "F0"}, {109, "F9"},
                          {115, "L5"}, {129, "M9"}, {130, "A0"}, {149, "C9"}};
    for (const Case& c : cases) {
        char label[4] = {'x', 'x', 'x', 'x'};
        LabelOfCode(c.code, label);
        EXPECT_STREQ(label, c.label) << int(c.code);
        EXPECT_EQ(label[3], '\0');
    }
    // From 150 on the label reads as empty; the units digit still sits behind the NUL.
    for (int code : {150, 155, 255}) {
        char label[4] = {'x', 'x', 'x', 'x'};
        LabelOfCode(static_cast<std::uint8_t>(code), label);
        EXPECT_EQ(label[0], '\0') << code;
        EXPECT_EQ(label[1], '0' + code % 10) << code;
        EXPECT_EQ(label[2], '\0') << code;
    }
}

TEST(ImageCodecPieces, StepsAndFrequencies) {
    EXPECT_EQ(StepsPerMHz(0), 160);
    EXPECT_EQ(StepsPerMHz(1), 80);
    EXPECT_EQ(StepsPerMHz(2), 40);
    EXPECT_EQ(StepsPerMHz(3), 160);
    EXPECT_EQ(StepsPerMHz(-1), 160);
    EXPECT_DOUBLE_EQ(StepOf(1), 0.0125);
    EXPECT_DOUBLE_EQ(StepOf(2), 0.025);
    EXPECT_DOUBLE_EQ(StepOf(7), 0.00625);

    EXPECT_EQ(TxSteps(156.8, 0), 25088);   // 156.8 * 160
    EXPECT_EQ(TxSteps(156.8, 1), 12544);   // 156.8 * 80
    EXPECT_EQ(TxSteps(156.8, 2), 6272);    // 156.8 * 40
    EXPECT_EQ(TxSteps(156.8, 9), 25088);   // unknown index: 6.25 kHz
    EXPECT_EQ(RxSteps(156.8, 0, 1), 10972);  // (156.8 - 19.65) * 80
    EXPECT_EQ(RxSteps(156.8, 1, 1), 9436);   // (156.8 - 38.85) * 80
    EXPECT_EQ(RxSteps(156.8, 5, 1), 9436);   // any non-zero mid index is 38.85

    EXPECT_NEAR(TxFrequency(25088, 0), 156.8, 1e-9);
    EXPECT_NEAR(TxFrequency(6272, 2), 156.8, 1e-9);
    EXPECT_NEAR(RxFrequency(10972, 0, 1), 156.8, 1e-9);
    EXPECT_NEAR(RxFrequency(9436, 1, 1), 156.8, 1e-9);
    EXPECT_NEAR(RxFrequency(0, 0, 0), 19.65, 1e-9);
}

TEST(ImageCodecPieces, OutOfRangeFrequenciesKeepTheLow16BitsWithoutUndefinedBehaviour) {
    // 0 MHz RX: (0 - 19.65) * 80 + 0.00001 = -1571.99999, integer part -1571 = 0xF9DD.
    EXPECT_EQ(RxSteps(0.0, 0, 1), 0xF9DD);
    // 500 MHz TX: 80000 steps, 80000 - 65536 = 14464.
    EXPECT_EQ(TxSteps(500.0, 0), 14464);
    EXPECT_EQ(TxSteps(std::nan(""), 0), 0);
    // Beyond the 64-bit range the count is clamped to it: 2^63 - 1 ends in 0xFFFF, -2^63 in 0.
    EXPECT_EQ(TxSteps(std::numeric_limits<double>::infinity(), 0), 0xFFFF);
    EXPECT_EQ(TxSteps(-1e300, 0), 0);
}

// ---- encode and decode ---------------------------------------------------------------------

class ImageCodecTest : public ::testing::Test {
protected:
    void SetUp() override {
        state = FreshAppState();
        std::memset(&settings, 0, sizeof settings);
        write.fill(0);
        read.fill(0);
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

// A European document with 100 private channels: channel i transmits on 156.025 + 0.025 i MHz
// and receives 2.6 MHz higher, is labelled with the two digits of i and has usage 11 + i % 25.
// Channel 0 is labelled F1, channel 1 is labelled 1A.
void FillEuropeanDocument(RadioSettings& s) {
    LoadDefaults(s, kModelEurInt);
    s.atisByUser = 0;
    s.mmsiByUser = 0;
    CopyText(s.atisId, "123456789");
    CopyText(s.mmsiId, "123456789");
    CopyText(s.nmeaNo, "123456");
    CopyText(s.serialNo, "87654321");
    for (int i = 0; i < 100; ++i) {
        ChannelRecord& ch = PrivateChannel(s, i);
        ch.inUse = 1;
        ch.label[0] = static_cast<char>('0' + i / 10);
        ch.label[1] = static_cast<char>('0' + i % 10);
        ch.txMHz = 156.025 + 0.025 * i;
        ch.rxMHz = ch.txMHz + 2.6;
        ch.usage = static_cast<std::uint8_t>(11 + i % 25);
        CopyText(ch.usageText, "MARINA");
        ch.lowPower = 1;
    }
    CopyText(PrivateChannel(s, 0).label, "F1");
    CopyText(PrivateChannel(s, 1).label, "1A");
}

TEST_F(ImageCodecTest, EuropeanDocumentEncodesToTheDocumentedBytes) {
    FillEuropeanDocument(settings);
    write.fill(0xEE);
    ASSERT_EQ(Encode(), 0);

    RadioImage expected{};
    expected[0x0104] = 1;
    expected[0x011A] = 1;
    const std::uint8_t atis[] = {0x5B, 0x17, 0x2D, 0x43, 0x59};  // 91 23 45 67 89
    std::memcpy(&expected[0x011B], atis, 5);
    expected[0x0120] = 1;
    const std::uint8_t mmsi[] = {0x0C, 0x22, 0x38, 0x4E, 0x5A};  // 12 34 56 78 90
    std::memcpy(&expected[0x0121], mmsi, 5);
    const std::uint8_t nmea[] = {0x40, 0xE2, 0x01};  // 123456 = 0x01E240
    std::memcpy(&expected[0x0135], nmea, 3);
    std::memcpy(&expected[0x0138], "87654321", 8);
    expected[0x0226] = 100;
    expected[0x02F0] = 0;
    expected[0x02F1] = 1;
    expected[0x02FD] = 1;
    expected[0x02FE] = 0x45;  // USA bit 0, INT bit 2, Private bit 6
    // Everything below the channel records, including the bytes outside 0x0100..0x06FF.
    EXPECT_EQ(Slice(write, 0, 0x0300), Slice(expected, 0, 0x0300));
    EXPECT_THAT(Slice(write, 0x06E8, 0x2000 - 0x06E8), Each(0));

    // Record 0 "F1": code 101; TX 156.025 * 160 = 24964 = 0x6184;
    // RX (158.625 - 19.65) * 80 = 11118 = 0x2B6E; usage 11.
    EXPECT_THAT(Slice(write, 0x0300, 10),
                ElementsAre(0, 0x65, 0, 0, 0, 0x84, 0x61, 0x6E, 0x2B, 0x0B));
    // Record 1 "1A": code 10; TX 156.05 * 160 = 24968 = 0x6188;
    // RX (158.65 - 19.65) * 80 = 11120 = 0x2B70; usage 12.
    EXPECT_THAT(Slice(write, 0x030A, 10),
                ElementsAre(1, 0x0A, 0, 0, 0, 0x88, 0x61, 0x70, 0x2B, 0x0C));
    // Record 99 at 0x06DE: code 99; TX 158.5 * 160 = 25360 = 0x6310;
    // RX (161.1 - 19.65) * 80 = 11316 = 0x2C34; usage 11 + 24 = 35.
    EXPECT_THAT(Slice(write, 0x06DE, 10),
                ElementsAre(99, 99, 0, 0, 0, 0x10, 0x63, 0x34, 0x2C, 0x23));
}

TEST_F(ImageCodecTest, EuropeanDocumentSurvivesAWriteAndARead) {
    FillEuropeanDocument(settings);
    const RadioSettings original = settings;
    state.modelType = kModelEurInt;
    RoundTrip();

    EXPECT_EQ(settings.model, 1);
    EXPECT_EQ(settings.bandUSA, 1u);
    EXPECT_EQ(settings.bandINT, 1u);
    EXPECT_EQ(settings.bandPrivate, 1u);
    EXPECT_EQ(settings.bandCAN + settings.bandWX + settings.bandUSANarrow + settings.bandINTNarrow +
                  settings.bandCANNarrow,
              0u);
    EXPECT_EQ(settings.txStepIndex, 0);
    EXPECT_EQ(settings.rxStepIndex, 1);
    EXPECT_EQ(settings.atisByUser, 0u);
    EXPECT_EQ(settings.mmsiByUser, 0u);
    EXPECT_STREQ(settings.atisId, "123456789");
    EXPECT_STREQ(settings.mmsiId, "123456789");
    EXPECT_STREQ(settings.nmeaNo, "123456");
    EXPECT_STREQ(settings.serialNo, "87654321");
    EXPECT_STREQ(settings.brandName, "Corvantexia");
    EXPECT_STREQ(settings.modelName, "ORVEN");

    EXPECT_EQ(PrivateChannelCount(settings), 100u);
    for (int i = 0; i < 100; ++i) {
        const ChannelRecord& was = PrivateChannel(original, i);
        const ChannelRecord& now = PrivateChannel(settings, i);
        EXPECT_EQ(now.inUse, 1u) << i;
        if (i != 1) {
            EXPECT_EQ(Label(now), Label(was)) << i;
        }
        EXPECT_NEAR(now.txMHz, was.txMHz, 1e-9) << i;
        EXPECT_NEAR(now.rxMHz, was.rxMHz, 1e-9) << i;
        EXPECT_EQ(now.usage, was.usage) << i;
        // Flags 0 in the image: ATIS receive on, no 1 W ATIS. The radio keeps no usage text or
        // power flag.
        EXPECT_EQ(now.atisRx, 1u) << i;
        EXPECT_EQ(now.atis1W, 0u) << i;
        EXPECT_EQ(now.usageText[0], '\0') << i;
        EXPECT_EQ(now.lowPower, 0u) << i;
    }
    EXPECT_EQ(Label(PrivateChannel(settings, 1)), "10");
}

TEST_F(ImageCodecTest, UsaModelWritesNoPrivateChannels) {
    LoadDefaults(settings, kModelUsa);
    for (int i = 0; i < 5; ++i) {
        PrivateChannel(settings, i).inUse = 1;
        CopyText(PrivateChannel(settings, i).label, "12");
        PrivateChannel(settings, i).txMHz = 156.8;
    }
    write.fill(0xEE);
    ASSERT_EQ(Encode(), 0);

    // USA defaults: USA, INT, CAN, Private, WX = bits 0, 2, 4, 6, 7 = 0xD5; RX step 12.5 kHz.
    // No identity text, so nothing else.
    RadioImage expected{};
    expected[0x0104] = 1;
    expected[0x02F1] = 1;
    expected[0x02FE] = 0xD5;
    EXPECT_EQ(write, expected);
}

TEST_F(ImageCodecTest, PrivateListEndsAtAGapOrAThreeCharacterLabel) {
    LoadDefaults(settings, kModelEurIntUsa);
    for (int i = 0; i < 4; ++i) {
        PrivateChannel(settings, i).inUse = 1;
        CopyText(PrivateChannel(settings, i).label, "20");
    }
    CopyText(PrivateChannel(settings, 2).label, "123");
    ASSERT_EQ(Encode(), 0);
    EXPECT_EQ(write[0x0226], 2);
    EXPECT_THAT(Slice(write, 0x0314, 20), Each(0));

    PrivateChannel(settings, 1).inUse = 0;
    ASSERT_EQ(Encode(), 0);
    EXPECT_EQ(write[0x0226], 1);
    EXPECT_THAT(Slice(write, 0x030A, 30), Each(0));
}

TEST_F(ImageCodecTest, HeaderBytesOfFlagsRegionAndSteps) {
    settings.bandUSANarrow = settings.bandINTNarrow = settings.bandCANNarrow = settings.bandWX = 1;
    settings.model = -3;
    settings.txStepIndex = 258;  // low byte 2
    settings.rxStepIndex = -1;
    ASSERT_EQ(Encode(), 0);
    EXPECT_EQ(write[0x02FE], 0xAA);  // bits 1, 3, 5, 7
    EXPECT_EQ(write[0x02FD], 1);
    EXPECT_EQ(write[0x02F0], 2);
    EXPECT_EQ(write[0x02F1], 0xFF);

    settings.model = 2;
    ASSERT_EQ(Encode(), 0);
    EXPECT_EQ(write[0x02FD], 1);
}

TEST_F(ImageCodecTest, DecodesBandBitsAndSignedBytes) {
    read[0x02FE] = 0x55;  // bits 0, 2, 4, 6
    read[0x02FD] = 0xFF;
    read[0x02F0] = 0xFE;
    read[0x02F1] = 0x02;
    read[0x0226] = 1;
    read[0x0305] = 0x00;  // TX 25088 = 0x6200
    read[0x0306] = 0x62;
    read[0x0307] = 0x04;  // RX 4
    ASSERT_EQ(Decode(), 0);
    EXPECT_EQ(settings.bandUSA, 1u);
    EXPECT_EQ(settings.bandINT, 1u);
    EXPECT_EQ(settings.bandCAN, 1u);
    EXPECT_EQ(settings.bandPrivate, 1u);
    EXPECT_EQ(settings.bandUSANarrow + settings.bandINTNarrow + settings.bandCANNarrow +
                  settings.bandWX,
              0u);
    EXPECT_EQ(settings.model, -1);
    EXPECT_EQ(settings.txStepIndex, -2);
    EXPECT_EQ(settings.rxStepIndex, 2);
    // Step -2 converts as 6.25 kHz: 25088 * 0.00625; RX 4 * 0.025 + 19.65.
    EXPECT_NEAR(PrivateChannel(settings, 0).txMHz, 156.8, 1e-9);
    EXPECT_NEAR(PrivateChannel(settings, 0).rxMHz, 19.75, 1e-9);

    read[0x02FE] = 0xAA;
    ASSERT_EQ(Decode(), 0);
    EXPECT_EQ(settings.bandUSANarrow + settings.bandINTNarrow + settings.bandCANNarrow +
                  settings.bandWX,
              4u);
    EXPECT_EQ(settings.bandUSA + settings.bandINT + settings.bandCAN + settings.bandPrivate, 0u);
}

TEST_F(ImageCodecTest, DecodesChannelFlagsAndLabelCodes) {
    // Flags: 0x0000, 0x0080 (bit 7), 0x0100 (bit 8), 0x0180 (both); labels 10, 155, 131, 0.
    const std::uint8_t records[4][10] = {
        {0, 10, 0, 0x00, 0x00, 0, 0, 0, 0, 17},
        {1, 155, 0, 0x80, 0x00, 0, 0, 0, 0, 0},
        {2, 131, 0, 0x00, 0x01, 0, 0, 0, 0, 200},
        {3, 0, 0, 0x80, 0x01, 0, 0, 0, 0, 0},
    };
    std::memcpy(&read[0x0300], records, sizeof records);
    read[0x0226] = 4;
    ASSERT_EQ(Decode(), 0);

    EXPECT_EQ(PrivateChannel(settings, 0).atisRx, 1u);
    EXPECT_EQ(PrivateChannel(settings, 0).atis1W, 0u);
    EXPECT_EQ(PrivateChannel(settings, 1).atisRx, 0u);
    EXPECT_EQ(PrivateChannel(settings, 1).atis1W, 0u);
    EXPECT_EQ(PrivateChannel(settings, 2).atisRx, 0u);
    EXPECT_EQ(PrivateChannel(settings, 2).atis1W, 1u);
    EXPECT_EQ(PrivateChannel(settings, 3).atisRx, 0u);
    EXPECT_EQ(PrivateChannel(settings, 3).atis1W, 1u);

    EXPECT_EQ(Label(PrivateChannel(settings, 0)), "10");
    EXPECT_EQ(Label(PrivateChannel(settings, 1)), "");
    EXPECT_EQ(Label(PrivateChannel(settings, 2)), "A1");
    EXPECT_EQ(Label(PrivateChannel(settings, 3)), "00");
    EXPECT_EQ(PrivateChannel(settings, 0).usage, 17);
    EXPECT_EQ(PrivateChannel(settings, 2).usage, 200);
    EXPECT_EQ(PrivateChannelCount(settings), 4u);
}

TEST_F(ImageCodecTest, HighMidFrequencyReadsBack19_2MHzLower) {
    FillEuropeanDocument(settings);
    settings.rxMidIndex = 1;
    PrivateChannel(settings, 0).rxMHz = 156.8;
    state.modelType = kModelEurInt;
    RoundTrip();
    // (156.8 - 38.85) * 80 = 9436 = 0x24DC, read back as 9436 * 0.0125 + 19.65 = 137.6.
    EXPECT_THAT(Slice(write, 0x0307, 2), ElementsAre(0xDC, 0x24));
    EXPECT_NEAR(PrivateChannel(settings, 0).rxMHz, 137.6, 1e-9);
    EXPECT_EQ(settings.rxMidIndex, 0);
}

TEST_F(ImageCodecTest, IdentityEnteredByUserIsNotProgrammed) {
    FillEuropeanDocument(settings);
    settings.atisByUser = 1;
    settings.mmsiByUser = 1;
    ASSERT_EQ(Encode(), 0);
    EXPECT_THAT(Slice(write, 0x011A, 12), Each(0));  // both flags and both pair blocks
    EXPECT_STREQ(settings.atisId, "123456789");
    EXPECT_STREQ(settings.mmsiId, "123456789");

    read = write;
    ASSERT_EQ(Decode(), 0);
    EXPECT_EQ(settings.atisByUser, 1u);
    EXPECT_EQ(settings.mmsiByUser, 1u);
    EXPECT_STREQ(settings.atisId, "");
    EXPECT_STREQ(settings.mmsiId, "");
}

TEST_F(ImageCodecTest, IdentityTextsReadAsNumbers) {
    struct Case { const char* atis; const char* mmsi; std::vector<std::uint8_t> bytes; };
    const Case cases[] = {
        // Not a number of at least 1: nothing programmed.
        {"", "", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"000000000", "-12345678", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        // "912A456789" -> 91 2 45 67 89; " 123456780" -> 0 23 45 67 80.
        {"12A456789", " 12345678", {1, 91, 2, 45, 67, 89, 1, 0, 23, 45, 67, 80}},
        // "95000000" ends after 8 characters; "7" + "0000000" -> 70 0 0 0 0.
        {"5", "7", {1, 95, 0, 0, 0, 0, 1, 70, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        CopyText(settings.atisId, c.atis);
        CopyText(settings.mmsiId, c.mmsi);
        ASSERT_EQ(Encode(), 0);
        EXPECT_EQ(Slice(write, 0x011A, 12), c.bytes) << c.atis << " / " << c.mmsi;
    }
}

TEST_F(ImageCodecTest, TextSlotsWithoutNulAreNotReadPastTheirEnd) {
    // A hostile settings file: every slot full. Read past its slot, the all-zero ATIS text would
    // run into the MMSI digits and the NMEA text into the serial number.
    std::memset(settings.atisId, '0', sizeof settings.atisId);
    CopyText(settings.mmsiId, "123456789");
    std::memset(settings.nmeaNo, '0', sizeof settings.nmeaNo);
    CopyText(settings.serialNo, "5");
    ASSERT_EQ(Encode(), 0);
    EXPECT_EQ(write[0x011A], 0);
    EXPECT_THAT(Slice(write, 0x0135, 3), ElementsAre(0, 0, 0));

    // A full slot of digits is taken as a number; its first 9 digits are programmed.
    std::memset(settings.atisId, '7', sizeof settings.atisId);
    ASSERT_EQ(Encode(), 0);
    EXPECT_THAT(Slice(write, 0x011A, 6), ElementsAre(1, 97, 77, 77, 77, 77));
}

TEST_F(ImageCodecTest, NmeaNumberKeepsItsLow24Bits) {
    struct Case { const char* text; std::uint8_t b0, b1, b2; const char* readBack; };
    const Case cases[] = {
        {"123456", 0x40, 0xE2, 0x01, "123456"},
        {"16900672", 0x40, 0xE2, 0x01, "123456"},  // 16777216 + 123456
        {"16777216", 0, 0, 0, "0"},
        {"0", 0, 0, 0, "0"},
        {"-5", 0, 0, 0, "0"},
        {"abc", 0, 0, 0, "0"},
        {"16777215", 0xFF, 0xFF, 0xFF, "16777215"},
        // Beyond the 32-bit range the number stops at 2^31 - 1 = 0x7FFFFFFF.
        {"99999999999", 0xFF, 0xFF, 0xFF, "16777215"},
    };
    for (const Case& c : cases) {
        SetUp();
        CopyText(settings.nmeaNo, c.text);
        RoundTrip();
        EXPECT_THAT(Slice(write, 0x0135, 3), ElementsAre(c.b0, c.b1, c.b2)) << c.text;
        EXPECT_STREQ(settings.nmeaNo, c.readBack) << c.text;
    }
}

TEST_F(ImageCodecTest, SerialNumberTravelsAsEightBytes) {
    CopyText(settings.serialNo, "1234");
    ASSERT_EQ(Encode(), 0);
    EXPECT_THAT(Slice(write, 0x0138, 8), ElementsAre('1', '2', '3', '4', 0, 0, 0, 0));

    CopyText(settings.serialNo, "123456789");
    ASSERT_EQ(Encode(), 0);
    EXPECT_THAT(Slice(write, 0x0138, 9), ElementsAre('1', '2', '3', '4', '5', '6', '7', '8', 0));

    std::memcpy(&read[0x0138], "ABCDEFGHIJ", 10);
    ASSERT_EQ(Decode(), 0);
    EXPECT_STREQ(settings.serialNo, "ABCDEFGH");
}

TEST_F(ImageCodecTest, DecodedIdentitiesDropTheImpliedDigits) {
    read[0x011A] = 7;  // any non-zero value means present
    const std::uint8_t atis[] = {91, 23, 45, 67, 89};
    std::memcpy(&read[0x011B], atis, 5);
    read[0x0120] = 1;
    const std::uint8_t mmsi[] = {12, 34, 56, 78, 90};
    std::memcpy(&read[0x0121], mmsi, 5);
    ASSERT_EQ(Decode(), 0);
    EXPECT_EQ(settings.atisByUser, 0u);
    EXPECT_STREQ(settings.atisId, "123456789");
    EXPECT_EQ(settings.mmsiByUser, 0u);
    EXPECT_STREQ(settings.mmsiId, "123456789");
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
        EXPECT_STREQ(doc->atisId, "");
        EXPECT_STREQ(doc->brandName, "Corvantexia");
    }
}

TEST_F(ImageCodecTest, DecodeCarriesNothingOverFromThePreviousSettings) {
    // What an empty image decodes to, written out field by field.
    RadioSettings expected{};
    std::memset(&expected, 0, sizeof expected);
    expected.atisByUser = 1;
    expected.mmsiByUser = 1;
    CopyText(expected.nmeaNo, "0");
    CopyText(expected.modelName, "ORVEN");
    CopyText(expected.brandName, "Corvantexia");

    for (int modelType : {kModelUsa, kModelEurInt, kModelEurIntUsa}) {
        std::memset(&settings, 0xAB, sizeof settings);
        state.modelType = modelType;
        ASSERT_EQ(Decode(), 0);
        EXPECT_EQ(std::memcmp(&settings, &expected, sizeof settings), 0) << modelType;
    }

    // After a full document, reading a radio with no private channels leaves none behind.
    FillEuropeanDocument(settings);
    CopyText(settings.brandName, "Someone");
    ASSERT_EQ(Decode(), 0);
    EXPECT_EQ(std::memcmp(&settings, &expected, sizeof settings), 0);
}

TEST_F(ImageCodecTest, DefaultImagesAreTheProcessWideOnes) {
    LoadDefaults(settings, kModelUsa);
    WriteImage.fill(0);
    ImageCodec codec(state, settings);
    ASSERT_EQ(codec.Encode(), 0);
    EXPECT_EQ(WriteImage[0x0104], 1);

    ReadImage.fill(0);
    ReadImage[0x02FD] = 1;
    ASSERT_EQ(codec.Decode(), 0);
    EXPECT_EQ(settings.model, 1);
    WriteImage.fill(0);
    ReadImage.fill(0);
}

}  // namespace
}  // namespace orven
