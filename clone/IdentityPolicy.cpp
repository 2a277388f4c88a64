#include "clone/IdentityPolicy.h"

#include "model/LineFormat.h"
#include "model/MarineIdentity.h"

#include <algorithm>
#include <cctype>

namespace orven {

namespace {

bool IsNoneWord(std::string_view typed) {
    const std::string_view word = kNoIdentityWord;
    return std::equal(typed.begin(), typed.end(), word.begin(), word.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

// An identity as a sentence names it: "MMSI 211277770", "no MMSI".
std::string Named(IdentityKind kind, const std::string& value) {
    return value.empty() ? std::string("no ") + IdentityName(kind)
                         : std::string(IdentityName(kind)) + " " + ShownValue(value);
}

}  // namespace

std::string ConfirmedValue(std::string_view typed) { return IsNoneWord(typed) ? std::string() : std::string(typed); }

std::string ShownValue(const std::string& value) {
    if (value.empty()) return kNoIdentityWord;
    return IsNoneWord(value) ? "\"" + value + "\"" : PrintableText(value);
}

bool ConfirmsIdentity(IdentityKind kind, const std::string& typed, const std::string& next) {
    return SameIdentity(kind, typed, next) || (!next.empty() && typed == ShownValue(next));
}

std::string DescribedIdentity(IdentityKind kind, const std::string& value) {
    if (value.empty()) return kNoIdentityWord;
    if (kind == IdentityKind::Mmsi) return PrintableText(DescribedMmsi(value));
    if (kind == IdentityKind::Atis) return PrintableText(DescribedAtis(value));
    return ShownValue(value);
}

std::string DescribedHeld(const IdentityChange& change) {
    return change.held ? DescribedIdentity(change.kind, *change.held) : "not known (no backup was read)";
}

std::string ChangeLine(const IdentityChange& change) {
    return std::string(IdentityName(change.kind)) + ": " + DescribedHeld(change) + " -> " +
           DescribedIdentity(change.kind, change.next);
}

void ApplyIdentityPolicy(const RadioSettings& document, const IdentitySet& remove, const RadioImage* held,
                         RadioImage& sending) {
    for (const IdentityKind kind : kRadioIdentities) {
        if (remove.contains(kind))
            ClearIdentityBytes(kind, sending);
        else if (held && LeavesOpen(document, kind))
            CopyIdentityBytes(kind, *held, sending);
    }
}

IdentitySet KeptFromBackup(const RadioSettings& document, const IdentitySet& remove) {
    IdentitySet kept;
    for (const IdentityKind kind : kRadioIdentities)
        if (!remove.contains(kind) && LeavesOpen(document, kind)) kept.insert(kind);
    return kept;
}

std::optional<std::string> ConfirmationMismatch(const IdentityConfirmations& confirmed, const RadioIdentities& next,
                                                const IdentitySet& unknown) {
    for (const auto& [kind, value] : confirmed) {
        if (unknown.contains(kind) || ConfirmsIdentity(kind, value, next[kind])) continue;
        return std::string("The ") + IdentityName(kind) + " confirmed, " + DescribedIdentity(kind, value) +
               ", is not what the radio will hold after this write: " + DescribedIdentity(kind, next[kind]) + ".";
    }
    return std::nullopt;
}

IdentityChanges ChangesOf(std::span<const IdentityKind> kinds, const RadioImage* held, const RadioImage& sending,
                          const IdentityConfirmations& confirmed) {
    const RadioIdentities next = IdentitiesInImage(sending);
    const std::optional<RadioIdentities> before =
        held ? std::optional<RadioIdentities>(IdentitiesInImage(*held)) : std::nullopt;
    IdentityChanges changes;
    for (const IdentityKind kind : kinds) {
        if (before && SameIdentity(kind, (*before)[kind], next[kind])) continue;
        IdentityChange& change = changes.emplace_back();
        change.kind = kind;
        if (before) change.held = (*before)[kind];
        change.next = next[kind];
        change.confirmed = confirmed.contains(kind);
    }
    return changes;
}

std::vector<std::string> IdentityDifferences(std::span<const IdentityKind> kinds, const RadioImage& sent,
                                             const RadioImage& readBack) {
    const RadioIdentities wanted = IdentitiesInImage(sent);
    const RadioIdentities holds = IdentitiesInImage(readBack);
    std::vector<std::string> differences;
    for (const IdentityKind kind : kinds) {
        if (IdentityBytesEqual(kind, sent, readBack)) continue;
        if (holds[kind] == wanted[kind])
            differences.push_back(std::string("the radio's ") + IdentityName(kind) + " bytes are not those written");
        else
            differences.push_back("the radio holds " + Named(kind, holds[kind]) + ", not " + ShownValue(wanted[kind]));
    }
    return differences;
}

}  // namespace orven
