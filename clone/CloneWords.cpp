#include "clone/CloneWords.h"

#include "model/MarineIdentity.h"

namespace orven {

namespace {

std::string Held(const std::string& number, bool known, std::string (*described)(std::string_view)) {
    if (!known) return "not known (no backup was read)";
    return number.empty() ? "none" : described(number);
}

std::string Intro(const IdentityChange& change) {
    const char* what = change.MmsiChanges() && change.AtisChanges() ? "a new MMSI and ATIS"
                       : change.MmsiChanges()                     ? "a new MMSI"
                                                                  : "a new ATIS";
    return std::string("This write puts ") + what +
           " into the radio. Many radios take these numbers only once: check them and type each new one again.";
}

}  // namespace

const char* WorkingText(CloneOperation operation) {
    switch (operation) {
    case CloneOperation::Write: return "Writing...";
    case CloneOperation::Restore: return "Restoring...";
    case CloneOperation::Read: return "Reading...";
    case CloneOperation::Verify: return "Verifying...";
    default: return "HandShaking...";
    }
}

std::string WriteFailureText(WriteStage stage, const CloneOutcome& run, std::string_view restoreHint) {
    if (stage == WriteStage::Archive) return run.archiveError + "; nothing was written.";
    std::string text = OutcomeText(run);
    if (stage == WriteStage::Backup && run.result != kResultUserCancel)
        text += "\nNo backup of the radio could be read; nothing was written.";
    if (stage >= WriteStage::Write && !run.archived.empty())
        text += "\n\nWhat the radio held before is kept in the radio archive as " + run.archived + "; " +
                std::string(restoreHint);
    return text;
}

std::string UnloadableReadText(const std::string& why) {
    return "The radio's settings cannot be kept as a settings file:\n" + why + ".\n\n";
}

IdentityQuestion QuestionOf(const IdentityChange& change) {
    IdentityQuestion q{"Confirm New Identity", Intro(change), "In the radio now", "To be written", {}};
    if (change.MmsiChanges())
        q.rows.push_back({"mmsi", "MMSI", Held(change.heldMmsi, change.heldKnown, DescribedMmsi),
                          DescribedMmsi(change.newMmsi), "Type the new MMSI again:", change.newMmsi});
    if (change.AtisChanges())
        q.rows.push_back({"atis", "ATIS", Held(change.heldAtis, change.heldKnown, DescribedAtis),
                          DescribedAtis(change.newAtis), "Type the new ATIS again (its last 9 digits):",
                          change.newAtis});
    return q;
}

bool QuestionAnswered(const IdentityQuestion& question, const std::vector<std::string>& typed) {
    if (typed.size() != question.rows.size()) return false;
    for (std::size_t i = 0; i < typed.size(); ++i)
        if (typed[i] != question.rows[i].expected) return false;
    return true;
}

}  // namespace orven
