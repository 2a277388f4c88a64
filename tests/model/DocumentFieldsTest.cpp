// The document as an editor's fields show it and take it back: shown and taken unchanged it is
// the same bytes, a value the fields cannot show survives, a half-typed identity is not taken,
// and the notes, steps and refusals the fields give.
#include "model/DocumentFields.h"

#include "model/LineFormat.h"
#include "model/MarineIdentity.h"
#include "support/Documents.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orven {
namespace {

TEST(DocumentFieldsTest, ShownAndTakenBackADocumentKeepsItsBytesEvenWhereNoEntryShowsIt) {
    auto odd = test::Defaults(kModelUsa);
    odd->txStepIndex = 7;  // no entry of the list stands for these
    odd->rxMidIndex = 5;
    std::memcpy(odd->serialNo + 5, "\0tail", 5);  // bytes behind the text's end
    odd->bandPrivate = 0;  // WX and Private as the model has them; they follow it
    const auto europe = test::EuropeanDocument();
    europe->bandWX = 0;
    for (const RadioSettings* document : {europe.get(), odd.get()}) {
        auto taken = std::make_unique<RadioSettings>(*document);
        TakeFields(*taken, FieldsOf(*document));
        EXPECT_EQ(std::memcmp(taken.get(), document, sizeof(RadioSettings)), 0);
    }
    DocumentFields fields = FieldsOf(*odd);
    EXPECT_EQ(fields.txStep, kStep6_25kHz) << "shown as the first entry";
    fields.txStep = kStep25kHz;
    fields.rxMid = 0;
    TakeFields(*odd, fields);
    EXPECT_EQ(odd->txStepIndex, kStep25kHz);
    EXPECT_EQ(odd->rxMidIndex, 0);
}

TEST(DocumentFieldsTest, OnlyAWholeIdentityIsTakenAndTheModelDecidesWxAndPrivate) {
    auto s = test::Defaults(kModelUsa);
    CopyText(s->mmsiId, "211234560");
    DocumentFields f = FieldsOf(*s);
    f.identities.mmsi = "21123";  // half typed
    f.identities.atis = "211987654";
    f.identities.nmea = "1234567890";  // longer than the slot takes
    SwitchModel(f, false);
    TakeFields(*s, f);
    EXPECT_EQ(FixedSlotText(s->mmsiId), "211234560") << "the document keeps the MMSI it had";
    EXPECT_EQ(FixedSlotText(s->atisId), "211987654");
    EXPECT_EQ(FixedSlotText(s->nmeaNo), "123456789");
    EXPECT_EQ(s->model, kModelEurInt);
    EXPECT_EQ(s->bandWX, 0u);
    EXPECT_EQ(s->bandPrivate, 1u);
    EXPECT_TRUE(FieldsOf(*s).bands[static_cast<int>(ChannelBand::Private)]);

    f = FieldsOf(*s);
    f.identities.mmsiByUser = false;
    f.identities.mmsi = "21123";
    f.identities.atisByUser = false;
    f.identities.atis = "";  // emptied: it says "kept by radio", so no number is left to write unseen
    TakeFields(*s, f);
    EXPECT_EQ(FixedSlotText(s->mmsiId), "211234560");
    EXPECT_EQ(FixedSlotText(s->atisId), "");
}

TEST(DocumentFieldsTest, NotesSayWhatTheNumbersAreUnlessTheRadioKeepsThem) {
    const IdentityEntry entry{"211234560", false, "232001234", false, "", ""};
    const IdentityNotes europe = NotesOf(entry, true);
    EXPECT_EQ(europe.mmsi, "ship station, MID 211, Germany");
    EXPECT_EQ(europe.atis, "ATIS, MID 232, United Kingdom");
    EXPECT_EQ(europe.warnings, IdentityWarnings("211234560", "232001234", true));
    EXPECT_FALSE(europe.warnings.empty());
    EXPECT_TRUE(NotesOf(entry, false).warnings.empty()) << "the ATIS matters to a European model alone";
    const IdentityNotes byUser = NotesOf({"211234560", true, "232001234", true, "", ""}, true);
    EXPECT_EQ(byUser.mmsi + byUser.atis, "");
    EXPECT_TRUE(byUser.warnings.empty());
}

TEST(DocumentFieldsTest, StepsKeepDigitsWithinTheField) {
    const struct {
        const char* text;
        bool up;
        std::size_t digits;
        const char* stepped;  // nullptr: not stepped
    } cases[] = {
        {"000009", true, kNmeaDigits, "000010"}, {"999999", true, kNmeaDigits, nullptr},
        {"1", false, kNmeaDigits, "0"},          {"0", false, kNmeaDigits, nullptr},
        {"AB12", true, kSerialDigits, nullptr},  {"", true, kSerialDigits, nullptr},
        {"12 3", true, kSerialDigits, nullptr},  {"89999999", true, kSerialDigits, "90000000"},
        {"90000000", true, kSerialDigits, nullptr}, {"20261206", false, kSerialDigits, "20261205"},
    };
    for (const auto& c : cases) {
        const auto stepped = SteppedDigits(c.text, c.up, c.digits);
        EXPECT_EQ(stepped.value_or("(none)"), c.stepped ? c.stepped : "(none)") << c.text << (c.up ? " up" : " down");
    }
}

TEST(DocumentFieldsTest, AFieldOfPrintableTextSaysWhichCharacterItRefuses) {
    EXPECT_FALSE(FieldTextRefusal(kSerialFieldName, "AB-12 x"));
    EXPECT_EQ(FieldTextRefusal(kSerialFieldName, "AB\xC3\xA9"),
              "The serial number holds \"\xC3\xA9\" at position 3: only printable ASCII characters can be stored.");
}

}  // namespace
}  // namespace orven
