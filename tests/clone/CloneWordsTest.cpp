// The words of a clone command both front ends show: the identity question and why a write
// stopped.
#include "clone/CloneWords.h"

#include <gtest/gtest.h>

namespace orven {
namespace {

// The question asks about each change not confirmed beforehand: a new value is typed again (an
// NMEA2000 number read as a number), a removal or a new model ticked; answers out of order, or
// one missing, do not answer it.
TEST(CloneWords, TheIdentityQuestionAsksAboutEachChangeNotConfirmedBeforehand) {
    const IdentityChanges changes = {
        {IdentityKind::Mmsi, std::string("211234560"), "", false},
        {IdentityKind::Atis, std::nullopt, "211234567", false},
        {IdentityKind::Nmea, std::string(), "000123", false},
        {IdentityKind::Serial, std::string("20261206"), "12345678", true},
        {IdentityKind::Model, std::string("USA"), "Europe", false},
    };
    const IdentityQuestion q = QuestionOf(changes);
    std::vector<std::vector<std::string>> rows;
    for (const IdentityQuestionRow& r : q.rows)
        rows.push_back({r.key, r.name, r.held, r.written, r.againPrompt + r.acceptPrompt});
    EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{
                        {"mmsi", "MMSI", "211234560 (ship station, MID 211, Germany)", "none",
                         "Remove the MMSI from the radio"},
                        {"atis", "ATIS", "not known (no backup was read)", "9211234567 (ATIS, MID 211, Germany)",
                         "Type the new ATIS again (its last 9 digits):"},
                        {"nmea", "NMEA2000 number", "none", "000123", "Type the new NMEA2000 number again:"},
                        {"model", "Model", "USA", "Europe", "Make the radio a Europe model"},
                    }));
    EXPECT_NE(q.intro.find("take their own MMSI and ATIS only once"), std::string::npos) << q.intro;
    EXPECT_TRUE(QuestionAnswered(q, {kAcceptedAnswer, "211234567", "123", kAcceptedAnswer}));
    EXPECT_FALSE(QuestionAnswered(q, {kAcceptedAnswer, "211234568", "123", kAcceptedAnswer}));
    EXPECT_FALSE(QuestionAnswered(q, {"", "211234567", "123", kAcceptedAnswer}));
    EXPECT_FALSE(QuestionAnswered(q, {"211234567", kAcceptedAnswer, "123", kAcceptedAnswer}));
    EXPECT_FALSE(QuestionAnswered(q, {kAcceptedAnswer, "211234567", "123"}));
    EXPECT_EQ(QuestionOf({changes[3]}).intro.find("only once"), std::string::npos) << "no MMSI or ATIS in it";
}

// A serial number of bytes no keyboard gives (an erased slot, an escape) is typed again as the
// question shows it; the question carries no raw byte a display could choke on or act on.
TEST(CloneWords, AnOddSerialNumberIsTypedAgainAsTheQuestionShowsIt) {
    const std::string erased = "\xff\xff\x1b[31m";
    const IdentityQuestion q = QuestionOf({{IdentityKind::Serial, std::string("20261206"), erased, false}});
    ASSERT_EQ(q.rows.size(), 1u);
    EXPECT_EQ(q.rows[0].written, "\\xff\\xff\\x1b[31m");
    EXPECT_EQ(q.rows[0].expected, q.rows[0].written);
    EXPECT_TRUE(QuestionAnswered(q, {q.rows[0].written}));
    EXPECT_FALSE(QuestionAnswered(q, {"\\xff\\xff"}));
}

// A whole read-back is told as a verify; the identities' alone, when it could not be read, as the
// write's error, since nothing proves the write then.
TEST(CloneWords, AReadBackIsToldByWhatItRead) {
    ReadBackOutcome back;
    EXPECT_EQ(ReadBackWordsOf(back, "Write OK.").status, "Write OK. Verify OK.");
    back.differing = {0x0400};
    const ReadBackWords differs = ReadBackWordsOf(back, "Write OK.");
    EXPECT_EQ(std::vector<std::string>({differs.status, differs.problemTitle}),
              std::vector<std::string>({"Verify Error.", "Verify Error"}));
    back.whole = false;
    back.differing.clear();
    const ReadBackWords fine = ReadBackWordsOf(back, "Restore OK.");
    EXPECT_EQ(std::vector<std::string>({fine.status, fine.problemTitle}), std::vector<std::string>({"Restore OK.", ""}));
    back.result = kResultNoRadio;
    const ReadBackWords unread = ReadBackWordsOf(back, "Write OK.");
    EXPECT_EQ(std::vector<std::string>({unread.status, unread.problemTitle, unread.problemText}),
              std::vector<std::string>({"Write Error.", "Write Error",
                                        "The radio was written but its identities could not be read back: "
                                        "Radio is not detected!"}));
}

TEST(CloneWords, AWriteThatStoppedSaysWhetherTheRadioWasTouchedAndWhereItsBackupIs) {
    CloneOutcome run;
    run.result = kResultNoRadio;
    EXPECT_NE(WriteFailureText(WriteStage::Backup, run, "hint").find("nothing was written"), std::string::npos);
    run.archived = "20261206/2026-12-07_101530_backup";
    const std::string written = WriteFailureText(WriteStage::Write, run, "Restore it.");
    EXPECT_EQ(written.find("nothing was written"), std::string::npos) << written;
    EXPECT_NE(written.find("kept in the radio archive as 20261206/2026-12-07_101530_backup; Restore it."), std::string::npos);
    run.archiveError = "The radio archive folder /x cannot be written";
    EXPECT_EQ(WriteFailureText(WriteStage::Archive, run, "hint"),
              "The radio archive folder /x cannot be written; nothing was written.");
}

// A value a keyboard cannot type, or one spelled like none, shows as no removal and is typed again
// as the question prints it.
TEST(CloneWords, AValueIsTypedAgainAsTheQuestionPrintsIt) {
    const IdentityQuestion q = QuestionOf({{IdentityKind::Serial, std::string("20261206"), "AB\x1bX", false},
                                           {IdentityKind::Serial, std::string("20261206"), "NONE", false}});
    ASSERT_EQ(q.rows.size(), 2u);
    EXPECT_EQ(q.rows[0].written, "AB\\x1bX");
    EXPECT_EQ(q.rows[1].written, "\"NONE\"");
    EXPECT_EQ(q.rows[1].againPrompt, "Type the new serial number again:");
    EXPECT_TRUE(QuestionAnswered(q, {"AB\\x1bX", "\"NONE\""}));
    EXPECT_FALSE(QuestionAnswered(q, {"AB\\x1BX", "\"NONE\""}));
    EXPECT_FALSE(QuestionAnswered(q, {"AB\\x1bX", "\"none\""}));
}

}  // namespace
}  // namespace orven
