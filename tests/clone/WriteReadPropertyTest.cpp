// Random documents of every model that pass the file check, written into the simulated radio by
// the command runner and read back: the radio holds what the document programs and keeps every
// identity the document leaves open, only real changes are asked about, and the document read
// passes the file check, encodes to the radio's very bytes and writes again without a question.
#include "clone/CloneRunner.h"

#include "clone/EngineTestSupport.h"
#include "model/IdentityRules.h"
#include "model/LineFormat.h"
#include "model/RadioIdentities.h"
#include "model/SettingsRules.h"
#include "sim/DemoRadio.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

namespace orven {
namespace {

using namespace orven::test;

constexpr int kDocumentsPerModel = 40;

class RandomDocuments {
public:
    explicit RandomDocuments(unsigned seed) : rng_(seed) {}

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    std::unique_ptr<RadioSettings> Document(int modelType) {
        auto s = Defaults(modelType);
        for (int band = 0; band < kBandCount; ++band) BandFlag(*s, static_cast<ChannelBand>(band)) = Pick(2);
        s->txStepIndex = Pick(kStepCount);
        s->rxStepIndex = Pick(kStepCount);
        Identity(s->mmsiByUser, s->mmsiId);
        Identity(s->atisByUser, s->atisId);
        CopyText(s->nmeaNo, Pick(3) == 0 ? "" : Digits(kNmeaTextLength, '0').c_str());
        CopyText(s->serialNo, Pick(3) == 0 ? "" : Printable(1 + Pick(kSerialTextLimit)).c_str());
        const int channels = Pick(kMaxPrivateChannels + 1);
        for (int i = 0; i < channels; ++i) PrivateChannel(*s, i) = Channel();
        return s;
    }

    // What the radio held before: the demo radio's identities, some of them cleared.
    void Identities(RadioImage& memory) {
        FillDemoMemory(memory);
        for (const IdentityKind kind : kRadioIdentities)
            if (Pick(3) == 0) ClearIdentityBytes(kind, memory);
    }

private:
    std::string Digits(std::size_t n, char lowestFirst) {
        std::string text(1, static_cast<char>(lowestFirst + Pick('9' - lowestFirst + 1)));
        while (text.size() < n) text += static_cast<char>('0' + Pick(10));
        return text;
    }
    std::string Printable(std::size_t n) {
        std::string text;
        while (text.size() < n) text += static_cast<char>(' ' + Pick('~' - ' ' + 1));
        return text;
    }
    // Programmed, entered by the user (a number left in the field or none), or left blank.
    void Identity(std::uint32_t& byUser, char (&slot)[60]) {
        const int kind = Pick(4);
        byUser = kind == 1 || kind == 2;
        CopyText(slot, kind == 0 || kind == 1 ? Digits(kIdentityTextLength, '1').c_str() : "");
    }
    // In the radio's range, in the five decimals the program works in; TX sometimes 0 (receive
    // only); now and then a three-character label, which ends the list the radio is given.
    ChannelRecord Channel() {
        const double span = kMaxFreqMHz - kMinFreqMHz;
        const int txSteps = static_cast<int>(span / kTxGridMHz);
        double rx = kMinFreqMHz + std::round(std::uniform_real_distribution<double>(0, span)(rng_) * 1e5) / 1e5;
        double tx = kMinFreqMHz + kTxGridMHz * Pick(txSteps + 1);
        // The ends of the range, where a hair of rounding would leave it.
        if (Pick(8) == 0) rx = Pick(2) == 0 ? kMinFreqMHz : kMaxFreqMHz;
        if (Pick(8) == 0) tx = Pick(2) == 0 ? kMinFreqMHz : kMinFreqMHz + kTxGridMHz * txSteps;
        if (Pick(5) == 0) tx = 0.0;
        char label[4] = {kLabelFirstCharacters[Pick(kLabelFirstCharacters.size())], static_cast<char>('0' + Pick(10)),
                         Pick(40) == 0 ? 'X' : '\0', '\0'};
        ChannelRecord channel = InUseChannel(label, tx, rx);
        channel.usage = static_cast<std::uint8_t>(Pick(36));
        channel.lowPower = Pick(2);
        channel.rxOnly = Pick(2);
        return channel;
    }

    std::mt19937 rng_;
};

// The clone range of the document's image as a backed-up write leaves it in a radio that held
// `before`: the identities the document leaves open are the radio's own.
RadioImage WrittenImage(const RadioSettings& document, const AppState& state, const RadioImage& before) {
    RadioImage image = EncodedImage(document, state);
    for (const IdentityKind kind : kRadioIdentities)
        if (LeavesOpen(document, kind)) CopyIdentityBytes(kind, before, image);
    return image;
}

bool CloneRangesEqual(const RadioImage& a, const RadioImage& b) {
    return std::equal(a.begin() + kCloneFirst, a.begin() + kCloneLast + 1, b.begin() + kCloneFirst);
}

using WriteReadProperty = OnLink<Link::Usb>;

TEST_F(WriteReadProperty, EveryDocumentComesBackAsWrittenAndWritesAgain) {
    // Another seed tries other documents: ORVEN_PROPERTY_SEED=$RANDOM.
    const char* chosen = std::getenv("ORVEN_PROPERTY_SEED");
    const unsigned seed = chosen ? static_cast<unsigned>(std::strtoul(chosen, nullptr, 10)) : 20261207u;
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    RandomDocuments random(seed);
    job.timing = kFastTransferTiming;
    std::vector<IdentityKind> asked;
    WriteOptions options;
    options.keepBackup = [](const RadioSettings&, const ReadOutcome&) { return true; };
    options.confirmIdentityChange = [&asked](const IdentityChanges& changes) {
        for (const IdentityChange& change : changes) asked.push_back(change.kind);
        return true;
    };
    for (const int modelType : {kModelUsa, kModelEurInt, kModelEurIntUsa}) {
        for (int n = 0; n < kDocumentsPerModel; ++n) {
            SCOPED_TRACE(testing::Message() << "model type " << modelType << ", document " << n);
            const std::unique_ptr<RadioSettings> document = random.Document(modelType);
            ASSERT_TRUE(SettingsPassCheck(*document));
            ASSERT_FALSE(WriteRefusal(*document));
            state.modelType = modelType;
            const RadioImage before = OnRadio([&](SimulatedRadio& radio) {
                random.Identities(radio.Memory());
                return radio.Memory();
            });

            asked.clear();
            ASSERT_EQ(RunWrite(job, *document, options).result, kResultOk);
            const RadioImage memory = Memory();
            EXPECT_TRUE(CloneRangesEqual(memory, WrittenImage(*document, state, before)));
            std::vector<IdentityKind> changed;
            const RadioIdentities held = IdentitiesInImage(before), programmed = EncodedIdentities(*document);
            for (const IdentityKind kind : kRadioIdentities)
                if (!LeavesOpen(*document, kind) && !SameIdentity(kind, held[kind], programmed[kind]))
                    changed.push_back(kind);
            EXPECT_EQ(asked, changed) << "asked about exactly the identities the write changes";

            auto read = std::make_unique<RadioSettings>();
            const ReadOutcome outcome = RunRead(job, *read);
            ASSERT_EQ(outcome.result, kResultOk);
            EXPECT_FALSE(outcome.unloadable) << *outcome.unloadable;
            EXPECT_FALSE(WriteRefusal(*read)) << *WriteRefusal(*read);
            EXPECT_TRUE(CloneRangesEqual(EncodedImage(*read, state), memory)) << "every field the radio stores";
            const RadioIdentities radioHolds = IdentitiesInImage(memory);
            EXPECT_EQ(FixedSlotText(read->mmsiId), radioHolds[IdentityKind::Mmsi]);
            EXPECT_EQ(FixedSlotText(read->atisId), radioHolds[IdentityKind::Atis]);
            EXPECT_EQ(FixedSlotText(read->nmeaNo), radioHolds[IdentityKind::Nmea]);
            EXPECT_EQ(FixedSlotText(read->serialNo), radioHolds[IdentityKind::Serial]);

            asked.clear();
            ASSERT_EQ(RunWrite(job, *read, options).result, kResultOk);
            EXPECT_TRUE(asked.empty()) << "writing what the radio holds changes no identity";
            EXPECT_TRUE(CloneRangesEqual(Memory(), memory));
        }
    }
}

}  // namespace
}  // namespace orven
