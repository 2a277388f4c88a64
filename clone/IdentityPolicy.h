// Which of the radio's identities a write or restore keeps, sets, changes or clears against what
// the radio holds, the question put to the user about the changes, and the check after a write
// that the radio holds the identity bytes that were sent. The command runner applies it for every
// front end; the front ends only ask and show.
//
// A document that leaves an identity open keeps what the radio holds: the write takes those bytes
// from the backup it has just read. Without a backup what the radio holds is not known, so every
// identity counts as a change, programmed or open.
#pragma once

#include "model/RadioIdentities.h"
#include "model/RadioImage.h"
#include "model/RadioSettings.h"

#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace orven {

// How a user names "no identity" when confirming its removal.
inline constexpr const char* kNoIdentityWord = "none";

// One identity a write or restore would set, change or clear.
struct IdentityChange {
    IdentityKind kind = IdentityKind::Mmsi;
    std::optional<std::string> held;  // what the radio holds ("" for none); nothing when no backup was read
    std::string next;                 // what it will hold; "" when the write removes it
    bool confirmed = false;           // named beforehand among the write's confirmations
    bool Removes() const { return next.empty(); }
};
// Every change a write or restore would make, in the order of kRestoredIdentities: the question
// before anything is sent.
using IdentityChanges = std::vector<IdentityChange>;

// Values confirmed beforehand, by kind: what the radio is to hold after the write ("" for none).
using IdentityConfirmations = std::map<IdentityKind, std::string>;
using IdentitySet = std::set<IdentityKind>;

// A confirmation as a user types it: kNoIdentityWord (any case) is none, anything else the value.
std::string ConfirmedValue(std::string_view typed);

// A value as the question prints it: "none" for none, the bytes a terminal would act on escaped
// (\x1b), and a value spelled like "none" in double quotes, so no value reads as a removal.
std::string ShownValue(const std::string& value);
// Whether a value typed to confirm names `next`: the value itself, or as the question printed it
// (bytes no keyboard types come escaped).
bool ConfirmsIdentity(IdentityKind kind, const std::string& typed, const std::string& next);

// An identity's value as the user sees it: "none", "211234560 (ship station, MID 211, Germany)",
// "9211234567 (ATIS, MID 211, Germany)", the NMEA2000 number, serial or model as it is; the bytes
// of a radio that a terminal would act on escaped (\x1b).
std::string DescribedIdentity(IdentityKind kind, const std::string& value);
// What the radio holds of a change, or that it is not known.
std::string DescribedHeld(const IdentityChange& change);
// "MMSI: 211234560 (ship station, MID 211, Germany) -> none".
std::string ChangeLine(const IdentityChange& change);

// The write image made ready to send: each identity in `remove` cleared, and each other one the
// document leaves open taking the radio's bytes from `held` (when a backup was read). Without a
// backup an open identity stays as the document encodes it: none.
void ApplyIdentityPolicy(const RadioSettings& document, const IdentitySet& remove, const RadioImage* held,
                         RadioImage& sending);
// The identities whose value waits on the backup: those the document leaves open and that are not
// removed.
IdentitySet KeptFromBackup(const RadioSettings& document, const IdentitySet& remove);

// The first confirmation that names another value than the radio will hold after the write (a
// typo must not pass), said for the user; kinds in `unknown` are not looked at yet.
std::optional<std::string> ConfirmationMismatch(const IdentityConfirmations& confirmed, const RadioIdentities& next,
                                                const IdentitySet& unknown = {});

// Every identity of `kinds` whose value differs between `held` and `sending`; every one of them
// when held is null (no backup). Marked confirmed where `confirmed` names it.
IdentityChanges ChangesOf(std::span<const IdentityKind> kinds, const RadioImage* held, const RadioImage& sending,
                          const IdentityConfirmations& confirmed);

// After a write: each identity whose bytes in `readBack` differ from those `sent`, said for the
// user: "the radio holds MMSI 211277770, not 211777770".
std::vector<std::string> IdentityDifferences(std::span<const IdentityKind> kinds, const RadioImage& sent,
                                             const RadioImage& readBack);

}  // namespace orven
