#include "files/RadioArchive.h"

#include "files/AtomicFile.h"
#include "files/FileRead.h"
#include "files/Paths.h"
#include "files/Sha256.h"
#include "model/LineFormat.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

namespace orven {

namespace {

constexpr mode_t kFolderMode = 0755;
constexpr mode_t kLogMode = 0644;
constexpr int kSameSecondEntries = 100;
// Records are small; anything larger is not one.
constexpr std::size_t kMaxRecordBytes = 4096;

// Why nothing could be stored: the archive's folder takes no new files.
std::string CannotWrite(const std::string& folder) {
    return "The radio archive " + folder + " cannot be written (is the disk full or the folder read-only?)";
}

bool MakeFolders(const std::string& path) {
    std::string built;
    std::size_t at = 0;
    while (at != std::string::npos) {
        at = path.find(kPathSeparator, at + 1);
        built = path.substr(0, at);
        if (built.empty()) continue;
        if (mkdir(built.c_str(), kFolderMode) != 0 && errno != EEXIST) return false;
    }
    struct stat info{};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A serial number as a folder name: letters, digits, '.', '-' and '_' kept, anything else '_'.
std::string SerialFolder(const std::string& serial) {
    std::string name;
    for (const char c : serial) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '_' || (c == '.' && !name.empty());
        name += plain ? c : '_';
    }
    return name.empty() ? kNoSerialFolder : name;
}

// "2026-12-07 01:15:30" -> "2026-12-07_011530".
std::string EntryStamp(const std::string& time) {
    std::string stamp;
    for (const char c : time) {
        if (c == ' ') stamp += '_';
        else if (c != ':') stamp += c;
    }
    return stamp;
}

FlatFields FieldsOf(const ArchiveRecord& r) {
    return {{"time", r.time},     {"operation", r.operation}, {"port", r.port}, {"version", r.version},
            {"serial", r.serial}, {"mmsi", r.mmsi},           {"atis", r.atis}, {"nmea", r.nmea},
            {"sha256", r.sha256}};
}

FlatFields FieldsOf(const LogLine& l) {
    FlatFields fields{{"time", l.time},     {"operation", l.operation}, {"port", l.port},   {"serial", l.serial},
                      {"mmsi", l.mmsi},     {"atis", l.atis},           {"nmea", l.nmea},   {"sha256", l.sha256},
                      {"result", l.result}, {"readBack", l.readBack}};
    if (!l.run.empty()) fields.emplace_back("run", l.run);
    if (!l.backup.empty()) fields.emplace_back("backup", l.backup);
    if (!l.name.empty()) fields.emplace_back("name", l.name);
    return fields;
}

std::string Field(const std::map<std::string, std::string>& fields, const char* key) {
    const auto it = fields.find(key);
    return it == fields.end() ? std::string() : it->second;
}

std::optional<ArchiveRecord> ReadRecord(const std::string& path) {
    std::string text;
    const FileRead read = ReadTextStart(path, kMaxRecordBytes, text);
    if (read.status != FileReadStatus::Ok || read.more) return std::nullopt;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    const auto fields = ParseFlatJson(text);
    if (!fields || Field(*fields, "time").empty()) return std::nullopt;
    return ArchiveRecord{Field(*fields, "time"),   Field(*fields, "operation"), Field(*fields, "port"),
                         Field(*fields, "version"), Field(*fields, "serial"),   Field(*fields, "mmsi"),
                         Field(*fields, "atis"),    Field(*fields, "nmea"),     Field(*fields, "sha256")};
}

// What an entry's folder name tells when its record cannot: "2026-12-07_101530_backup-2" was
// stored at 2026-12-07 10:15:30 by a backup.
ArchiveRecord RecordFromName(const std::string& name) {
    ArchiveRecord record;
    constexpr std::size_t kDate = 10, kStamp = 17;
    if (name.size() <= kStamp + 1 || name[kDate] != '_' || name[kStamp] != '_') return record;
    record.time = name.substr(0, kDate) + " " + name.substr(kDate + 1, 2) + ":" + name.substr(kDate + 3, 2) + ":" +
                  name.substr(kDate + 5, 2);
    record.operation = name.substr(kStamp + 1, name.find('-', kStamp + 1) - kStamp - 1);
    return record;
}

// Why a file of an entry cannot be used: missing, or the system's reason.
std::string EntryFileProblem(const char* name, const FileRead& read) {
    if (read.error == ENOENT) return std::string(name) + " is missing";
    return std::string(name) + " cannot be read (" + ReadFailureCause(read) + ")";
}

std::string RecordProblem(const std::string& path) {
    std::string text;
    const FileRead read = ReadTextStart(path, kMaxRecordBytes, text);
    if (read.status != FileReadStatus::Ok) return EntryFileProblem(kArchiveRecordName, read);
    return std::string(kArchiveRecordName) + " is not a record this program wrote (damaged or changed)";
}

// Why an entry's image cannot be trusted, from its reading; empty when it can. `detailed`
// names both hashes of a mismatch.
std::string ImageProblem(const FileRead& read, const std::string& recorded, const std::string& actual,
                         bool detailed) {
    if (read.status != FileReadStatus::Ok) return EntryFileProblem(kArchiveImageName, read);
    if (read.bytes != kImageSize || read.more)
        return std::string(kArchiveImageName) + " holds " + (read.more ? "more than " : "") +
               std::to_string(read.bytes) + " bytes, not " + std::to_string(kImageSize);
    if (actual == recorded) return {};
    std::string text = std::string(kArchiveImageName) + " does not match the SHA-256 in its record";
    if (detailed) text += "\n  the record says " + recorded + "\n  the image has   " + actual;
    return text;
}

// Reads an entry's image and what is wrong with it (nothing when it is whole and as recorded).
std::string ReadEntryImage(const ArchiveEntry& entry, RadioImage& image, std::string& sha256, bool detailed) {
    const FileRead read = ReadFileStart(JoinPath(entry.folder, kArchiveImageName), image);
    const bool whole = read.status == FileReadStatus::Ok && read.bytes == image.size() && !read.more;
    sha256 = whole ? CloneRangeSha256(image) : std::string();
    return ImageProblem(read, entry.record.sha256, sha256, detailed);
}

ArchiveEntry ExamineEntry(const std::string& serial, const std::string& name, const std::string& folder) {
    ArchiveEntry entry{serial + kPathSeparator + name, folder, {}, false, {}, {}};
    const std::string recordPath = JoinPath(folder, kArchiveRecordName);
    if (auto record = ReadRecord(recordPath)) {
        entry.record = *record;
        entry.recordRead = true;
    } else {
        entry.record = RecordFromName(name);
        entry.damage = RecordProblem(recordPath);
    }
    auto image = std::make_unique<RadioImage>();
    const std::string problem = ReadEntryImage(entry, *image, entry.imageSha256, false);
    if (entry.damage.empty()) entry.damage = problem;
    return entry;
}

std::vector<std::string> SubFolders(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;  // ".", "..", and entries still being stored
        struct stat info{};
        if (stat(JoinPath(folder, entry->d_name).c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            names.emplace_back(entry->d_name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveFolder(const std::string& folder) {
    for (const char* name : {kArchiveImageName, kArchiveSettingsName, kArchiveRecordName})
        unlink(JoinPath(folder, name).c_str());
    rmdir(folder.c_str());
}

// Renames the finished folder to the first free name of its second; false when none is free.
bool PutInPlace(const std::string& incoming, const std::string& parent, const std::string& name, std::string& placed) {
    for (int n = 1; n <= kSameSecondEntries; ++n) {
        placed = n == 1 ? name : name + "-" + std::to_string(n);
        const std::string target = JoinPath(parent, placed);
        struct stat info{};
        if (lstat(target.c_str(), &info) == 0) continue;
        if (std::rename(incoming.c_str(), target.c_str()) == 0) return true;
    }
    return false;
}

bool EndsWithLineEnd(int fd) {
    const off_t size = lseek(fd, 0, SEEK_END);
    if (size <= 0) return true;
    char last = '\n';
    return pread(fd, &last, 1, size - 1) != 1 || last == '\n';
}

}  // namespace

std::string SettingsFileOf(const ArchiveEntry& entry) {
    const std::string path = JoinPath(entry.folder, kArchiveSettingsName);
    struct stat info{};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? path : std::string();
}

std::string ArchiveTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string CloneRangeSha256(const RadioImage& image) {
    return Sha256Hex(std::span(image).subspan(kCloneFirst, kCloneLast - kCloneFirst + 1u));
}

std::string NewRunMark() {
    std::random_device random;
    char mark[17];
    std::snprintf(mark, sizeof mark, "%08x%08x", random(), random());
    return mark;
}

bool IsEntryOfSerial(const ArchiveEntry& entry, const std::string& serial) {
    if (entry.recordRead) return entry.record.serial == serial;
    return entry.id.substr(0, entry.id.find(kPathSeparator)) == SerialFolder(serial);
}

namespace {

// Whether a folder of the archive, down to an entry's files, holds the file `target` under a
// name of its own: a hard link elsewhere reaches the archive's bytes by no path at all.
bool HoldsFile(const std::string& folder, const struct stat& target, int depth) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return false;
    bool found = false;
    while (const dirent* entry = readdir(dir)) {
        if (found) break;
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat info{};
        const std::string path = JoinPath(folder, name);
        if (lstat(path.c_str(), &info) != 0) continue;
        if (S_ISREG(info.st_mode)) found = info.st_dev == target.st_dev && info.st_ino == target.st_ino;
        else if (S_ISDIR(info.st_mode) && depth > 0) found = HoldsFile(path, target, depth - 1);
    }
    closedir(dir);
    return found;
}

constexpr int kArchiveDepth = 2;  // <folder>/<serial>/<entry>/<file>

}  // namespace

std::optional<std::string> ArchiveOutputRefusal(const std::string& path) {
    struct stat target{};
    const bool linked = stat(path.c_str(), &target) == 0 && S_ISREG(target.st_mode) && target.st_nlink > 1;
    for (const std::string& folder : {RadioArchive::DefaultFolder(), RadioArchive::DemoFolder()})
        if (LiesWithin(path, folder) || (linked && HoldsFile(folder, target, kArchiveDepth)))
            return path + ": lies in the radio archive " + folder +
                   ", which only this program writes; choose another place";
    return std::nullopt;
}

void TakeIdentities(ArchiveRecord& record, const RadioSettings& settings) {
    record.serial = std::string(FixedSlotText(settings.serialNo));
    record.mmsi = std::string(FixedSlotText(settings.mmsiId));
    record.atis = std::string(FixedSlotText(settings.atisId));
    record.nmea = std::string(FixedSlotText(settings.nmeaNo));
}

namespace {

// $XDG_DATA_HOME/orven-clone, or ~/.local/share/orven-clone without it.
std::string ProgramDataFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == kPathSeparator) return JoinPath(data, "orven-clone");
    const char* home = std::getenv("HOME");
    return JoinPath(home && *home ? home : ".", ".local/share/orven-clone");
}

}  // namespace

std::string RadioArchive::DefaultFolder() { return JoinPath(ProgramDataFolder(), "archive"); }

std::string RadioArchive::DemoFolder() { return JoinPath(ProgramDataFolder(), "demo-archive"); }

std::optional<std::string> RadioArchive::StoreRefusal() const {
    if (MakeFolders(folder_) && CanSaveAtomically(JoinPath(folder_, kProgrammingLogName))) return std::nullopt;
    return CannotWrite(folder_);
}

std::optional<std::string> RadioArchive::Store(ArchiveRecord record, const RadioImage& image,
                                               const RadioSettings* settings, std::string& error) const {
    const std::string text = FlatJsonLine(FieldsOf(record)) + "\n";
    std::vector<EntryFile> files{{kArchiveImageName, image},
                                 {kArchiveRecordName, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())}};
    if (settings) files.push_back({kArchiveSettingsName, Bytes(*settings)});
    const std::string serial = SerialFolder(record.serial);
    const auto placed = PlaceFiles(serial, EntryStamp(record.time) + "_" + record.operation, files, error);
    if (!placed) return std::nullopt;
    return serial + kPathSeparator + *placed;
}

std::optional<std::string> RadioArchive::PlaceEntry(const std::string& serialFolder, const std::string& name,
                                                    const std::vector<EntryFile>& files, std::string& error) const {
    const auto placed = PlaceFiles(serialFolder, name, files, error);
    if (!placed) return std::nullopt;
    return serialFolder + kPathSeparator + *placed;
}

// The files go into a hidden folder that is renamed into place: an entry is there whole or not at all.
std::optional<std::string> RadioArchive::PlaceFiles(const std::string& serialFolder, const std::string& name,
                                                    const std::vector<EntryFile>& files, std::string& error) const {
    const std::string parent = JoinPath(folder_, serialFolder);
    std::string incoming = JoinPath(parent, ".incoming-XXXXXX");
    if (!MakeFolders(parent) || !mkdtemp(incoming.data())) {
        error = CannotWrite(folder_);
        return std::nullopt;
    }
    bool ok = true;
    for (const EntryFile& file : files) ok = ok && WriteFileAtomically(JoinPath(incoming, file.name), file.bytes);
    std::string placed;
    ok = ok && SyncFolder(incoming) && PutInPlace(incoming, parent, name, placed);
    if (!ok) {
        RemoveFolder(incoming);
        error = "The radio's bytes could not be stored in the radio archive " + folder_ +
                " (is the disk full or the folder read-only?)";
        return std::nullopt;
    }
    SyncFolder(parent);
    Changed();
    return placed;
}

std::vector<ArchiveEntry> RadioArchive::List() const {
    std::vector<ArchiveEntry> entries;
    for (const std::string& serial : SubFolders(folder_)) {
        const std::string serialFolder = JoinPath(folder_, serial);
        for (const std::string& name : SubFolders(serialFolder)) {
            entries.push_back(ExamineEntry(serial, name, JoinPath(serialFolder, name)));
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const ArchiveEntry& a, const ArchiveEntry& b) {
        return a.record.time != b.record.time ? a.record.time < b.record.time : a.id < b.id;
    });
    return entries;
}

std::optional<ArchiveEntry> RadioArchive::Find(const std::string& id) const {
    for (ArchiveEntry& entry : List())
        if (entry.id == id) return entry;
    return std::nullopt;
}

bool RadioArchive::LoadImage(const ArchiveEntry& entry, RadioImage& image, std::string& why) const {
    // Read again and checked on the very bytes that are handed on: the file may have changed
    // since the entry was listed.
    std::string sha256;
    why = entry.recordRead ? ReadEntryImage(entry, image, sha256, true) : entry.damage;
    return why.empty();
}

std::string LogLineText(const LogLine& line) { return FlatJsonLine(FieldsOf(line)); }

bool RadioArchive::AppendLog(const LogLine& line, std::string& error) const {
    return AppendText(LogLineText(line) + "\n", error);
}

bool RadioArchive::AppendLogText(const std::vector<std::string>& lines, std::string& error) const {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text.empty() || AppendText(text, error);
}

bool RadioArchive::AppendText(const std::string& lines, std::string& error) const {
    error = "The programming log in " + folder_ + " could not be written";
    if (!MakeFolders(folder_)) return false;
    const int fd = open(JoinPath(folder_, kProgrammingLogName).c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC,
                        kLogMode);
    if (fd < 0) return false;
    // A line cut short by a crash keeps to itself: the new one starts on a line of its own.
    const std::string text = (EndsWithLineEnd(fd) ? "" : "\n") + lines;
    bool ok = WriteAll(fd, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (!ok) return false;
    error.clear();
    Changed();
    return true;
}

namespace {

// A start is shown only while no outcome of its run follows it: then the write was cut off.
void FoldStarts(std::vector<LogLine>& lines) {
    std::set<std::string> ended;
    std::vector<LogLine> kept;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (line->result != kLogStarted) {
            if (!line->run.empty()) ended.insert(line->run);
        } else if (line->run.empty() || ended.count(line->run) > 0) {
            continue;
        } else {
            line->interrupted = true;
        }
        kept.push_back(std::move(*line));
    }
    lines.assign(std::make_move_iterator(kept.rbegin()), std::make_move_iterator(kept.rend()));
}

}  // namespace

std::optional<LogLine> ParseLogLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto fields = ParseFlatJson(std::string(line));
    if (!fields || Field(*fields, "operation").empty()) return std::nullopt;
    return LogLine{Field(*fields, "time"),   Field(*fields, "operation"), Field(*fields, "port"),
                   Field(*fields, "serial"), Field(*fields, "mmsi"),      Field(*fields, "atis"),
                   Field(*fields, "nmea"),   Field(*fields, "sha256"),    Field(*fields, "result"),
                   Field(*fields, "readBack"), Field(*fields, "run"),     Field(*fields, "backup"),
                   Field(*fields, "name")};
}

LogRead RadioArchive::ReadLog() const {
    LogRead log;
    const std::string path = JoinPath(folder_, kProgrammingLogName);
    if (access(path.c_str(), F_OK) != 0 && errno == ENOENT) return log;
    if (const std::string cause = OpenFailureCause(path); !cause.empty()) {
        log.error = "The programming log " + PrintableText(path) + " cannot be read (" + cause + ")";
        return log;
    }
    std::ifstream in(path, std::ios::binary);
    std::string text;
    while (std::getline(in, text)) {
        if (text.empty() || text == "\r") continue;
        if (auto line = ParseLogLine(text)) log.lines.push_back(std::move(*line));
        else ++log.damaged;
    }
    FoldStarts(log.lines);
    return log;
}

}  // namespace orven

namespace orven {

namespace {

// A text of the archive as it is shown: "-" for none, anything unprintable escaped.
std::string Shown(const std::string& text) { return text.empty() ? "-" : PrintableText(text); }

}  // namespace

std::string LogLineReport(const LogLine& l, const std::string& restoreWay) {
    std::string text = Shown(l.time) + "  " + Shown(l.operation) + "  port " + Shown(l.port) + "  serial " +
                       Shown(l.serial) + "  MMSI " + Shown(l.mmsi) + "  ATIS " + Shown(l.atis) + "  NMEA2000 " +
                       Shown(l.nmea) + "  ";
    if (!l.interrupted) {
        text += Shown(l.result) + "  read-back: " + Shown(l.readBack);
    } else {
        // A start no outcome followed: the write was cut off (the program killed, the power gone).
        text += "INTERRUPTED: no outcome was logged; the radio may hold part of this " + Shown(l.operation);
        text += l.backup.empty() || l.backup == "-" ? " (no backup was read before it)"
                                                    : ". What it held before: " + restoreWay;
    }
    return text + "  sha256 " + Shown(l.sha256);
}

}  // namespace orven

namespace orven {

std::string EntryNote(const ArchiveEntry& entry) {
    const bool settings = !SettingsFileOf(entry).empty();
    if (entry.Damaged())
        return "This entry is damaged (" + PrintableText(entry.damage) + "); it cannot be restored." +
               (settings ? " Open shows the settings it keeps." : "");
    if (settings) return {};
    return "This entry keeps no settings file: the radio held settings no file can hold (a radio left "
           "half-written). Restore writes its exact bytes back.";
}

}  // namespace orven
