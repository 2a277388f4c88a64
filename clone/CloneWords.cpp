#include "clone/CloneWords.h"

#include "clone/CloneResult.h"
#include "model/LineFormat.h"

#include <algorithm>
#include <cctype>

namespace orven {

namespace {

std::string Intro(const IdentityChanges& changes) {
    const bool once = std::any_of(changes.begin(), changes.end(), [](const IdentityChange& c) {
        return c.kind == IdentityKind::Mmsi || c.kind == IdentityKind::Atis;
    });
    std::string text = "This changes the radio's identities.";
    if (once) text += " Many radios take their own MMSI and ATIS only once.";
    return text + " Check each change: type each new value again and tick each removal.";
}

const char* Key(IdentityKind kind) {
    switch (kind) {
    case IdentityKind::Mmsi: return "mmsi";
    case IdentityKind::Atis: return "atis";
    case IdentityKind::Nmea: return "nmea";
    case IdentityKind::Serial: return "serial";
    case IdentityKind::Model: return "model";
    }
    return "";
}

// A new value is typed again; a removal or a new model is ticked.
IdentityQuestionRow RowOf(const IdentityChange& change) {
    IdentityQuestionRow row;
    row.key = Key(change.kind);
    row.name = IdentityLabel(change.kind);
    row.held = DescribedHeld(change);
    row.written = DescribedIdentity(change.kind, change.next);
    row.kind = change.kind;
    if (change.kind == IdentityKind::Model) {
        row.acceptPrompt = "Make the radio a " + change.next + " model";
        row.expected = kAcceptedAnswer;
    } else if (change.Removes()) {
        row.acceptPrompt = std::string("Remove the ") + IdentityName(change.kind) + " from the radio";
        row.expected = kAcceptedAnswer;
    } else {
        row.againPrompt = change.kind == IdentityKind::Atis ? "Type the new ATIS again (its last 9 digits):"
                                                            : std::string("Type the new ") +
                                                                  IdentityName(change.kind) + " again:";
        // Typed as the question shows it: a radio's bytes no keyboard gives appear escaped.
        row.expected = PrintableText(change.next);
    }
    return row;
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

std::string RestoreQuestion(const std::string& id, const std::string& serial, const std::string& time,
                            const std::string& port) {
    const auto shown = [](const std::string& text) { return text.empty() ? std::string("-") : PrintableText(text); };
    return "Write the exact bytes of entry " + shown(id) + " (radio serial " + shown(serial) + ", read at " +
           shown(time) + ") back into the radio on " + port + "?";
}

std::string DamagedRestoreText(const std::string& id, const std::string& why) {
    return "Entry " + PrintableText(id) + " of the radio archive is damaged and was not restored:\n" + why +
           "\nNothing was sent to the radio.";
}

std::string UnloadableReadText(const std::string& why) {
    return "The radio's settings cannot be kept as a settings file:\n" + why + ".\n\n";
}

ReadBackWords ReadBackWordsOf(const ReadBackOutcome& back, const std::string& okText) {
    if (back.Ok() && !back.whole) return {okText, {}, {}};
    if (back.Ok() && back.differing.empty()) return {okText + " " + kVerifyOkText, {}, {}};
    // A read-back of the identities alone that failed leaves the write unproven: a write's error.
    if (!back.whole) return {ResultText(kResultWriteError), "Write Error", ReadBackReport(back)};
    return {kVerifyErrorText, "Verify Error", ReadBackReport(back)};
}

std::string IdentityLabel(IdentityKind kind) {
    std::string label = IdentityName(kind);
    if (!label.empty()) label[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(label[0])));
    return label;
}

IdentityQuestion QuestionOf(const IdentityChanges& changes) {
    IdentityQuestion q{"Confirm Identity Changes", Intro(changes), "In the radio now", "To be written", {}};
    for (const IdentityChange& change : changes)
        if (!change.confirmed) q.rows.push_back(RowOf(change));
    return q;
}

bool QuestionAnswered(const IdentityQuestion& question, const std::vector<std::string>& answers) {
    if (answers.size() != question.rows.size()) return false;
    for (std::size_t i = 0; i < answers.size(); ++i) {
        const IdentityQuestionRow& row = question.rows[i];
        const bool typed = !row.againPrompt.empty();
        if (answers[i].empty() || !(typed ? ConfirmsIdentity(row.kind, answers[i], row.expected) : answers[i] == row.expected))
            return false;
    }
    return true;
}

}  // namespace orven
