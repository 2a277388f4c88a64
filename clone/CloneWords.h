// What a user is told of a clone command, in the words every front end shows: the status while
// it runs and after it, why a write stopped, and the question asked before a write puts a new
// identity into the radio.
#pragma once

#include "clone/CloneRunner.h"

#include <string>
#include <string_view>
#include <vector>

namespace orven {

inline constexpr const char* kReadyText = "Ready.";
inline constexpr const char* kReadOkText = "Read OK.";
inline constexpr const char* kReadErrorText = "Read Error.";
inline constexpr const char* kWriteOkText = "Write OK.";
inline constexpr const char* kRestoreOkText = "Restore OK.";
inline constexpr const char* kVerifyOkText = "Verify OK.";
inline constexpr const char* kVerifyErrorText = "Verify Error.";
inline constexpr const char* kHandShakeOkText = "HandShake OK.";

// Asked before a write whose identities draw warnings; Yes writes, No stops.
inline constexpr const char* kIdentityWarningsTitle = "Identity Warnings";
inline constexpr const char* kIdentityWarningsQuestion = "Write to the radio all the same?";

// "Reading...", "Writing...", ... while the operation runs.
const char* WorkingText(CloneOperation operation);

// Why a write or restore did not finish, by the stage it stopped at, and where what the radio
// held is kept when the radio may have been changed, followed by `restoreHint`: how this front
// end brings it back.
std::string WriteFailureText(WriteStage stage, const CloneOutcome& run, std::string_view restoreHint);

// The start of what a read is told whose settings no settings file could hold (a radio left
// half-written): why, then where the radio's exact bytes went.
std::string UnloadableReadText(const std::string& why);

// The question before a write puts identities into the radio that it did not hold: one row per
// identity that changes, each to be typed again before the write goes ahead.
struct IdentityQuestionRow {
    std::string key;          // "mmsi", "atis"
    std::string name;         // "MMSI"
    std::string held;         // what the radio holds, decoded; "none"; or that it is not known
    std::string written;      // what replaces it, decoded
    std::string againPrompt;  // "Type the new MMSI again:"
    std::string expected;     // the text the user must type
};
struct IdentityQuestion {
    std::string title;
    std::string intro;
    std::string heldHeading;
    std::string writtenHeading;
    std::vector<IdentityQuestionRow> rows;
};
IdentityQuestion QuestionOf(const IdentityChange& change);

// Whether the typed texts, one per row in order, answer the question.
bool QuestionAnswered(const IdentityQuestion& question, const std::vector<std::string>& typed);

}  // namespace orven
