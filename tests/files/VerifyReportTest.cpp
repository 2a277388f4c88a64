#include "files/VerifyReport.h"

#include "files/FilesTestDir.h"

#include <algorithm>
#include <memory>

namespace orven {
namespace {

using test::Defaults;
using test::InUseChannel;

constexpr ReportTime kTime{2024, 11, 23, 14, 0};

// Defaults of the USA model: USA, INT, CAN, Private and WX on; steps 0 and 1.
const std::string kBandsOfDefaults =
    "\n\nRadio,\t\tPC"
    "\nUSA=1,\t\t1\nINT=1,\t\t1\nCAN=1,\t\t1\nPRI=1,\t\t1"
    "\nUSANAR=0,\t0\nINTNAR=0,\t0\nCANNAR=0,\t0\nWX=1,\t\t1";
const std::string kStepsOfDefaults = "\nTxFreqStep=0,\t0\nRxFreqStep=1,\t1";
const std::string kDateLine = "Date:2024.11.23\t\tTime:14:0\n";

// The code of one record pair: presence first, then TX, RX, and the flags the radio's own
// flags let through. Label and usage are not compared.
TEST(CompareChannelRecord, CodeOfEachDifference) {
    struct Side { std::uint32_t inUse; double tx, rx; std::uint32_t rxOnly, lowPower, atis1W, atisRx; };
    struct Case { const char* what; Side radio, pc; int code; };
    const Case cases[] = {
        {"only on the radio", {1, 156.0, 156.0, 0, 0, 0, 0}, {0, 156.0, 156.0, 0, 0, 0, 0}, 1},
        {"only on the PC", {0, 156.0, 156.0, 0, 0, 0, 0}, {1, 156.0, 156.0, 0, 0, 0, 0}, 8},
        {"within a tenth of a kHz", {1, 156.0, 160.6, 0, 0, 0, 0}, {1, 156.00005, 160.60009, 0, 0, 0, 0}, 0},
        {"TX differs", {1, 156.0, 160.6, 0, 0, 0, 0}, {1, 156.0002, 160.6, 0, 0, 0, 0}, 2},
        {"both differ: RX wins", {1, 156.0, 160.6, 0, 0, 0, 0}, {1, 156.0002, 160.5, 0, 0, 0, 0}, 3},
        {"rxOnly set on the radio only", {1, 156.0, 156.0, 1, 0, 0, 0}, {1, 156.0, 156.0, 0, 0, 0, 0}, 4},
        {"lowPower differs", {1, 156.0, 156.0, 0, 1, 0, 0}, {1, 156.0, 156.0, 0, 0, 0, 0}, 5},
        {"lowPower not compared under rxOnly", {1, 156.0, 156.0, 1, 1, 0, 0}, {1, 156.0, 156.0, 1, 0, 0, 0}, 0},
        // Never written by this program, so never a difference a write could mend.
        {"atis1W differs", {1, 156.0, 156.0, 0, 0, 1, 1}, {1, 156.0, 156.0, 0, 0, 0, 0}, 0},
        {"atisRx differs", {1, 156.0, 156.0, 0, 0, 0, 0}, {1, 156.0, 156.0, 0, 0, 0, 1}, 0},
    };
    const auto record = [](const Side& side, const char* label, std::uint8_t usage) {
        ChannelRecord r = InUseChannel(label, side.tx, side.rx);
        r.usage = usage;
        r.inUse = side.inUse, r.rxOnly = side.rxOnly, r.lowPower = side.lowPower;
        r.atis1W = side.atis1W, r.atisRx = side.atisRx;
        return r;
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareChannelRecord(record(c.radio, "M1", 0), record(c.pc, "22", 20)), c.code) << c.what;
}

TEST(CompareSettings, ExtraPcChannelListsBothSides) {
    auto pc = Defaults(kModelUsa), radio = Defaults(kModelUsa);
    PrivateChannel(*pc, 0) = PrivateChannel(*radio, 0) = InUseChannel("M1", 157.85, 157.85);
    PrivateChannel(*pc, 1) = InUseChannel("M2", 158.0, 0.0);
    PrivateChannel(*pc, 1).usage = 200;  // printed as its unsigned value
    pc->txStepIndex = kStep12_5kHz;
    std::string text;
    EXPECT_EQ(CompareSettings(*pc, *radio, kTime, text), kDiffPrivate | kDiffBandOrStep);
    EXPECT_EQ(text, kDateLine +
                        "\nPrivate Band is different\n"
                        "Radio Private channel:\n"
                        "M1,0,157.8500,157.8500,00000001\n"
                        "\nPC Private channel:\n"
                        "M1,0,157.8500,157.8500,00000001\n"
                        "M2,200,158.0000,  0.0000,00000001\n" +
                        kBandsOfDefaults + "\nTxFreqStep=0,\t1\nRxFreqStep=1,\t1");
}

// Only the identities the PC side programs are compared: each one the radio holds otherwise
// (none included) gets a line after the steps, radio first; NMEA2000 numbers compare as numbers.
TEST(CompareSettings, IdentitiesThePcProgramsAreComparedEachDifferenceALine) {
    auto pc = Defaults(kModelEurInt), radio = Defaults(kModelEurInt);
    pc->mmsiByUser = radio->mmsiByUser = 0;
    CopyText(pc->mmsiId, "211234569");
    CopyText(radio->mmsiId, "211234560");
    CopyText(radio->atisId, "211234567");  // the PC's ATIS is entered by the user: not compared
    radio->atisByUser = 0;
    CopyText(pc->nmeaNo, "000123");
    CopyText(radio->nmeaNo, "123");
    CopyText(pc->serialNo, "SN1");
    std::string text;
    EXPECT_EQ(CompareSettings(*pc, *radio, kTime, text), kDiffIdentity);
    const std::string tail = "\nMMSI=211234560,\t211234569\nSerial=none,\tSN1";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_NE(text.find("RxFreqStep=1,\t1\nMMSI="), std::string::npos) << "below the existing lines";

    CopyText(radio->mmsiId, "211234569");
    CopyText(radio->serialNo, "SN1");
    EXPECT_EQ(CompareSettings(*pc, *radio, kTime, text), 0) << text;
    pc->mmsiByUser = 1;
    CopyText(pc->serialNo, "");
    radio->mmsiByUser = 1;
    EXPECT_EQ(CompareSettings(*pc, *radio, kTime, text), 0) << "what the PC leaves open is not compared";
}

using VerifyReportFile = testing::FilesTestDir;

TEST_F(VerifyReportFile, ReportIsWrittenEvenWhenEqual) {
    auto pc = Defaults(kModelUsa), radio = Defaults(kModelUsa);
    const std::string earlier(500, 'x');
    WriteBytes(Path("Verify.txt"), earlier.data(), earlier.size());
    EXPECT_EQ(CompareRadioSettings(*pc, *radio, Path("Verify.txt"), kTime), 0);
    const auto bytes = ReadBytes(Path("Verify.txt"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), kDateLine + kBandsOfDefaults + kStepsOfDefaults);

    radio->bandWX = 0;
    EXPECT_EQ(CompareRadioSettings(*pc, *radio, Path("Verify.txt"), kTime), kDiffBandOrStep);
    EXPECT_EQ(CompareRadioSettings(*pc, *radio, Path("none/Verify.txt"), kTime),
              kVerifyFileError);
}

}  // namespace
}  // namespace orven
