// The words of a clone command both front ends show: the identity question and why a write
// stopped.
#include "clone/CloneWords.h"

#include <gtest/gtest.h>

namespace orven {
namespace {

TEST(CloneWords, TheIdentityQuestionAsksOnlyForTheIdentitiesThatChangeAndEachMustBeTypedAgain) {
    IdentityChange change;
    change.heldKnown = true;
    change.heldMmsi = "211234560";
    change.newMmsi = "211234560";  // kept: not asked
    change.newAtis = "211234567";  // none held: asked
    const IdentityQuestion q = QuestionOf(change);
    ASSERT_EQ(q.rows.size(), 1u);
    EXPECT_EQ(q.rows[0].key, "atis");
    EXPECT_EQ(q.rows[0].held, "none");
    EXPECT_EQ(q.rows[0].written, "9211234567 (ATIS, MID 211, Germany)");
    EXPECT_NE(q.intro.find("a new ATIS into the radio"), std::string::npos) << q.intro;
    EXPECT_TRUE(QuestionAnswered(q, {"211234567"}));
    EXPECT_FALSE(QuestionAnswered(q, {"211234568"}));
    EXPECT_FALSE(QuestionAnswered(q, {}));

    change.heldKnown = false;
    change.newMmsi = "211234561";
    const IdentityQuestion both = QuestionOf(change);
    ASSERT_EQ(both.rows.size(), 2u);
    EXPECT_EQ(both.rows[0].held, "not known (no backup was read)");
    EXPECT_TRUE(QuestionAnswered(both, {"211234561", "211234567"}));
    EXPECT_FALSE(QuestionAnswered(both, {"211234567", "211234561"}));
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

}  // namespace
}  // namespace orven
