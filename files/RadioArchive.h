// The radio archive: every radio's memory kept after each read and before it is overwritten,
// restorable byte for byte, and the programming log. One folder, shared by the window and the
// command line, laid out so that a person finds an entry in a file manager too:
//   <folder>/<serial>/<date>_<time>_<operation>/image.bin      the radio's 8192-byte image
//                                               settings.dat   the decoded settings, when they load
//                                               record.json    what, when, where, who
//   <folder>/programming.log   one line for every write, restore and verify; only ever appended to
// An entry that cannot be trusted (its record or image missing, unreadable, short, or not the
// bytes its record's SHA-256 names) is still listed, marked damaged with the reason, and is never
// written into a radio. The demo radio keeps an archive of its own beside the real one.
#pragma once

#include "files/FlatJson.h"
#include "model/RadioImage.h"
#include "model/RadioSettings.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orven {

inline constexpr const char* kArchiveImageName = "image.bin";
inline constexpr const char* kArchiveSettingsName = "settings.dat";
inline constexpr const char* kArchiveRecordName = "record.json";
inline constexpr const char* kProgrammingLogName = "programming.log";
inline constexpr const char* kNoSerialFolder = "no-serial";
// The result of the log line a write or restore adds before its first frame.
inline constexpr const char* kLogStarted = "started";

// What record.json holds of an entry.
struct ArchiveRecord {
    std::string time;       // local time, "2026-12-07 01:15:30"
    std::string operation;  // read, verify, read-back, backup
    std::string port;
    std::string version;    // of this program
    std::string serial, mmsi, atis, nmea;  // the radio's, as read
    std::string sha256;     // of the clone range of the image
};

struct ArchiveEntry {
    std::string id;      // "<serial folder>/<entry folder>": how a user names the entry
    std::string folder;  // where its files are
    ArchiveRecord record;  // without a readable record, the time and operation its folder's name gives
    bool recordRead = false;
    std::string imageSha256;  // of the clone range of image.bin as it is now; empty when it is not whole
    std::string damage;       // why the entry cannot be trusted; empty when it can
    bool Damaged() const { return !damage.empty(); }
};

// One line of the programming log.
struct LogLine {
    std::string time, operation, port;  // operation: write, restore, verify
    std::string serial, mmsi, atis, nmea;
    std::string sha256;    // of the clone range sent or read
    std::string result;    // the outcome's text
    std::string readBack;  // what the read-back after a write found, or "-"
    std::string run;       // the same on the started line and the outcome's line of one write
    std::string backup;    // the entry holding what the radio held before, or "-"
    std::string name;      // the vessel or radio a fleet's roster names for it; empty when none
    bool interrupted = false;  // a started line no outcome followed (set by ReadLog)
};

struct LogRead {
    // Oldest first: every outcome, and every start that no outcome followed (interrupted); a
    // start that has its outcome is left out.
    std::vector<LogLine> lines;
    std::size_t damaged = 0;  // lines that could not be read, left out
    // Why the log could not be read at all (it is a folder, not permitted, ...); empty when it
    // was, or when there is none yet. Lines then are none, which says nothing of what was written.
    std::string error;
};
// Follows the count of damaged lines wherever a list drawn from the log is shown or saved.
inline constexpr const char* kDamagedLogLinesText = " damaged line(s) of the log left out";

// A line of the log read from its text; nothing when it is not one.
std::optional<LogLine> ParseLogLine(std::string_view text);
// A line as the log holds it, without its line end.
std::string LogLineText(const LogLine& line);
// A line as a user reads it: time, operation, port, the identities, and the result and read-back,
// or for a write cut off that it was, with `restoreWay` (how this front end writes the backup
// back) when a backup was read before it. Everything from the file made printable.
std::string LogLineReport(const LogLine& line, const std::string& restoreWay);

// The entry's settings file; empty when it keeps none (the radio held settings no file can hold).
std::string SettingsFileOf(const ArchiveEntry& entry);
// What an archive's list says when it is empty, and under an entry chosen in it: why a damaged
// one cannot be restored, or that one without settings is restored from its exact bytes. Empty
// for a whole entry with settings.
inline constexpr const char* kArchiveEmptyText =
    "The radio archive is empty: every read, and the backup before every write, adds an entry.";
std::string EntryNote(const ArchiveEntry& entry);

// The local time now as records and log lines hold it.
std::string ArchiveTimeNow();
// The identity fields of a record, taken from settings.
void TakeIdentities(ArchiveRecord& record, const RadioSettings& settings);
// SHA-256 of an image's clone range, as records and log lines name it.
std::string CloneRangeSha256(const RadioImage& image);
// A new mark that ties a write's started line to its outcome's.
std::string NewRunMark();
// Whether an entry is one of the radio with this serial number (by its record, or without one
// by the folder it sits in).
bool IsEntryOfSerial(const ArchiveEntry& entry, const std::string& serial);

// Nothing when a user's file may be written at `path`; else why not, naming the folder: it lies
// in a radio archive (the real one or the demo radio's), symbolic links followed, or is one of its
// files under another name (a hard link). Only the program itself writes there.
std::optional<std::string> ArchiveOutputRefusal(const std::string& path);

class RadioArchive {
public:
    explicit RadioArchive(std::string folder) : folder_(std::move(folder)) {}

    // $XDG_DATA_HOME/orven-clone/archive, or ~/.local/share/orven-clone/archive without it.
    static std::string DefaultFolder();
    // The demo radio's, beside it: .../orven-clone/demo-archive. Never listed with real radios.
    static std::string DemoFolder();
    // The one for the radio the user works with.
    static std::string FolderFor(bool demoRadio) { return demoRadio ? DemoFolder() : DefaultFolder(); }
    const std::string& Folder() const { return folder_; }

    // Nothing when an entry can be stored now (the folder is made when missing); else why not,
    // naming the folder.
    std::optional<std::string> StoreRefusal() const;

    // Stores one entry, all of it or nothing: the files go into a hidden folder that is renamed
    // into place. The settings file is left out when `settings` is null. The new entry's id, or
    // nothing with `error` set.
    std::optional<std::string> Store(ArchiveRecord record, const RadioImage& image, const RadioSettings* settings,
                                     std::string& error) const;

    // Every entry, damaged ones too, oldest first.
    std::vector<ArchiveEntry> List() const;
    std::optional<ArchiveEntry> Find(const std::string& id) const;
    // The entry's exact image, read now and checked against its record: false, with `why` set
    // (the damage; for a mismatch both hashes), when it cannot be trusted.
    bool LoadImage(const ArchiveEntry& entry, RadioImage& image, std::string& why) const;

    // Appends one line; false with `error` set when it could not be made durable.
    bool AppendLog(const LogLine& line, std::string& error) const;
    LogRead ReadLog() const;

    // An entry that comes from another archive (an import): its files, by their names, put in place
    // whole under <serialFolder>/<name>, or the first free name after it ("-2", "-3", ...). The
    // new entry's id, or nothing with `error` set.
    struct EntryFile {
        const char* name;  // kArchiveImageName, kArchiveSettingsName or kArchiveRecordName
        std::span<const std::uint8_t> bytes;
    };
    std::optional<std::string> PlaceEntry(const std::string& serialFolder, const std::string& name,
                                          const std::vector<EntryFile>& files, std::string& error) const;
    // Appends lines of the log as they are, each a line of its own; false with `error` set.
    bool AppendLogText(const std::vector<std::string>& lines, std::string& error) const;

    // Called once an entry or a line of the log is in place, for a front end that keeps the
    // archive's files in memory and must make them lasting elsewhere before it goes on (the web
    // edition's browser storage).
    void SetAfterChange(std::function<void()> afterChange) { afterChange_ = std::move(afterChange); }

private:
    std::optional<std::string> PlaceFiles(const std::string& serialFolder, const std::string& name,
                                          const std::vector<EntryFile>& files, std::string& error) const;
    bool AppendText(const std::string& text, std::string& error) const;
    void Changed() const {
        if (afterChange_) afterChange_();
    }

    std::string folder_;
    std::function<void()> afterChange_;
};

}  // namespace orven
