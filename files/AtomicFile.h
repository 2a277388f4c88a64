// Replacing a file so that a failure never leaves a half-written or missing file behind.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace orven {

// Writes bytes to a temporary file in the target's folder, flushes it to disk and renames it
// over the target. A target that is a symbolic link is followed: the file it points to is
// replaced and the link stays. An existing target keeps its permission bits; a new one gets the
// usual permissions under the process's umask. Returns false, with the target untouched and no
// temporary file left, when anything fails -- including an existing target without write
// access, which the rename alone would happily replace.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

// Whether a save to the path could succeed now: the target, if there, is a writable regular
// file and its folder takes a new file (tried by creating and removing one). Lets a caller
// refuse before work that would be lost when the save fails.
bool CanSaveAtomically(const std::string& path);

// Why a save to the path fails, in words for the user, found the way CanSaveAtomically tries it:
// the target is a folder or write-protected, its folder is missing, may not be written or is on
// a full disk; "the disk may be full" when all of that looks well.
std::string SaveObstacle(const std::string& path);

// The same for a text, written as its bytes (no line-end translation).
bool WriteFileAtomically(const std::string& path, std::string_view text);

// Writes every byte to the descriptor, through interruptions and short writes.
bool WriteAll(int fd, std::span<const std::uint8_t> bytes);
// Makes the folder's entries durable: a file created or renamed in it survives a power cut.
bool SyncFolder(const std::string& folder);

}  // namespace orven
