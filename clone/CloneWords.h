// What a user is told of a clone command, in the words every front end shows: the status while
// it runs and after it, why a write stopped, what its read-back found, and the question asked
// before a write or restore changes the radio's identities.
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

// The question before an archive entry's exact bytes are written back into the radio on `port`,
// and what is said of an entry that cannot be trusted (nothing is sent). Texts from the archive
// are made printable.
inline constexpr const char* kRestoreTitle = "Restore";
inline constexpr const char* kRestoreErrorTitle = "Restore Error";
std::string RestoreQuestion(const std::string& id, const std::string& serial, const std::string& time,
                            const std::string& port);
std::string DamagedRestoreText(const std::string& id, const std::string& why);

// The start of what a read is told whose settings no settings file could hold (a radio left
// half-written): why, then where the radio's exact bytes went.
std::string UnloadableReadText(const std::string& why);

// What a write's read-back is told: the status after okText ("Write OK. Verify OK." after a whole
// read-back, okText alone after the identities'), or, when it could not be read or found bytes
// other than were sent, the status and the message's title and text.
struct ReadBackWords {
    std::string status;
    std::string problemTitle;  // empty when all is well
    std::string problemText;
};
ReadBackWords ReadBackWordsOf(const ReadBackOutcome& back, const std::string& okText);

// An identity as a label or a box starts it: "MMSI", "Serial number".
std::string IdentityLabel(IdentityKind kind);

// The question before a write or restore changes the radio's identities: one row per change not
// confirmed beforehand, each new value to be typed again, each removal or new model to be ticked.
struct IdentityQuestionRow {
    std::string key;           // "mmsi", "atis", "nmea", "serial", "model"
    std::string name;          // "MMSI", "Serial number"
    std::string held;          // what the radio holds, decoded; "none"; or that it is not known
    std::string written;       // what it will hold, decoded; "none" for a removal
    std::string againPrompt;   // "Type the new MMSI again:"; empty where a box is ticked instead
    std::string acceptPrompt;  // "Remove the MMSI from the radio"; empty where the value is typed
    std::string expected;      // what is typed again (as shown, escaped), or kAcceptedAnswer once ticked
    IdentityKind kind = IdentityKind::Mmsi;
};
struct IdentityQuestion {
    std::string title;
    std::string intro;
    std::string heldHeading;
    std::string writtenHeading;
    std::vector<IdentityQuestionRow> rows;
};
// The answer of a ticked box.
inline constexpr const char* kAcceptedAnswer = "yes";
IdentityQuestion QuestionOf(const IdentityChanges& changes);

// Whether the answers, one per row in order (the text typed again, or kAcceptedAnswer for a
// ticked box), answer the question.
bool QuestionAnswered(const IdentityQuestion& question, const std::vector<std::string>& answers);

}  // namespace orven
