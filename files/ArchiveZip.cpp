#include "files/ArchiveZip.h"

#include "files/Paths.h"
#include "model/LineFormat.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>

namespace orven {

namespace {

constexpr std::array<const char*, 3> kEntryFileNames = {kArchiveImageName, kArchiveSettingsName, kArchiveRecordName};
// The names an archive folder goes by: the real one's and the demo radio's.
constexpr std::array<const char*, 2> kArchiveFolderNames = {"archive", "demo-archive"};

// The last part of the archive's folder, which names the zip's top folder.
std::string TopFolderOf(const RadioArchive& archive) {
    std::string folder = archive.Folder();
    while (folder.size() > 1 && folder.back() == kPathSeparator) folder.pop_back();
    return folder.substr(folder.rfind(kPathSeparator) + 1);
}

std::optional<std::vector<std::uint8_t>> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(std::span<const std::uint8_t> bytes) {
    std::vector<std::string> lines;
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line != "\r") lines.push_back(line);
    return lines;
}

// A folder name of the archive's layout: what the archive itself names serial and entry folders
// with, never hidden (entries being stored are), never "." or "..".
bool IsLayoutFolder(const std::string& name) {
    if (name.empty() || name[0] == '.') return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
               c == '.';
    });
}

bool IsEntryFileName(const std::string& name) {
    return std::any_of(kEntryFileNames.begin(), kEntryFileNames.end(), [&](const char* n) { return name == n; });
}

// The name without the zip's top folder, when every file of the zip lies in one of that name.
std::string TopFolderToStrip(const std::vector<ZipMember>& members) {
    for (const char* top : kArchiveFolderNames) {
        const std::string prefix = std::string(top) + '/';
        if (std::all_of(members.begin(), members.end(), [&](const ZipMember& m) { return m.name.starts_with(prefix); }))
            return prefix;
    }
    return {};
}

// The zip's files by where they go: the log, and each entry's files by its id.
struct ZipLayout {
    const ZipMember* log = nullptr;
    std::map<std::string, std::vector<const ZipMember*>> entries;  // by "<serial>/<entry>"
    std::map<const ZipMember*, std::string> fileName;
};

// Sorts every file into the layout; the refusal of the first one that belongs to no archive.
std::optional<std::string> Sort(const std::vector<ZipMember>& members, ZipLayout& layout) {
    const std::string top = TopFolderToStrip(members);
    std::set<std::string> seen;
    for (const ZipMember& m : members) {
        std::string name = m.name.substr(top.size());
        if (name.empty() || name.back() == '/') continue;  // folders are made as their files need them
        const auto refuse = [&](const char* why) { return "it holds " + PrintableText(m.name) + ", " + why; };
        if (!seen.insert(name).second) return refuse("twice");
        if (name == kProgrammingLogName) {
            layout.log = &m;
            continue;
        }
        const std::size_t first = name.find('/'), second = name.find('/', first + 1);
        if (first == std::string::npos || second == std::string::npos || name.find('/', second + 1) != std::string::npos)
            return refuse("which is no file of a radio archive");
        const std::string serial = name.substr(0, first), entry = name.substr(first + 1, second - first - 1);
        const std::string file = name.substr(second + 1);
        if (!IsLayoutFolder(serial) || !IsLayoutFolder(entry) || !IsEntryFileName(file))
            return refuse("which is no file of a radio archive");
        layout.entries[serial + '/' + entry].push_back(&m);
        layout.fileName[&m] = file;
    }
    return std::nullopt;
}

// Whether the archive holds the entry already with exactly these files.
bool HeldAlready(const RadioArchive& archive, const std::string& id, const std::vector<const ZipMember*>& files,
                 ZipLayout& layout) {
    const std::string folder = JoinPath(archive.Folder(), id);
    std::size_t held = 0;
    for (const char* name : kEntryFileNames) held += FileBytes(JoinPath(folder, name)).has_value() ? 1 : 0;
    if (held != files.size()) return false;
    return std::all_of(files.begin(), files.end(), [&](const ZipMember* m) {
        return FileBytes(JoinPath(folder, layout.fileName[m])) == m->bytes;
    });
}

// The log's lines the archive does not hold yet, each as the archive writes lines; lines that are
// not log lines are left out.
std::vector<std::string> NewLogLines(const RadioArchive& archive, const ZipMember& log) {
    std::set<std::string> held;
    if (const auto bytes = FileBytes(JoinPath(archive.Folder(), kProgrammingLogName)))
        for (const std::string& text : Lines(*bytes))
            if (const auto line = ParseLogLine(text)) held.insert(LogLineText(*line));
    std::vector<std::string> added;
    for (const std::string& text : Lines(log.bytes)) {
        const auto line = ParseLogLine(text);
        if (line && held.insert(LogLineText(*line)).second) added.push_back(LogLineText(*line));
    }
    return added;
}

std::string Count(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::vector<std::uint8_t> ExportArchiveZip(const RadioArchive& archive, const ZipTime& time) {
    const std::string top = TopFolderOf(archive) + '/';
    std::vector<ZipMember> members;
    for (const ArchiveEntry& entry : archive.List())
        for (const char* name : kEntryFileNames)
            if (auto bytes = FileBytes(JoinPath(entry.folder, name)))
                members.push_back({top + entry.id + '/' + name, std::move(*bytes)});
    if (auto log = FileBytes(JoinPath(archive.Folder(), kProgrammingLogName)))
        members.push_back({top + kProgrammingLogName, std::move(*log)});
    return WriteZip(members, time);
}

ArchiveImport ImportArchiveZip(const RadioArchive& archive, std::span<const std::uint8_t> zip) {
    ArchiveImport result;
    std::string why;
    auto members = ReadZip(zip, why);
    ZipLayout layout;
    if (members)
        if (const auto refusal = Sort(*members, layout)) {
            why = *refusal;
            members.reset();
        }
    if (!members) {
        result.problem = "This is no radio archive: " + why + ". Nothing was imported.";
        return result;
    }
    for (const auto& [id, files] : layout.entries) {
        if (HeldAlready(archive, id, files, layout)) {
            ++result.alreadyThere;
            continue;
        }
        std::vector<RadioArchive::EntryFile> placed;
        for (const ZipMember* m : files)
            for (const char* name : kEntryFileNames)
                if (layout.fileName[m] == name) placed.push_back({name, m->bytes});
        const std::size_t slash = id.find('/');
        std::string error;
        const auto added = archive.PlaceEntry(id.substr(0, slash), id.substr(slash + 1), placed, error);
        if (!added) {
            result.problem = error + "; " + Count(result.entries, "entry was", "entries were") + " imported before.";
            return result;
        }
        result.added.push_back(*added);
        ++result.entries;
        const auto entry = archive.Find(*added);
        if (entry && entry->Damaged()) ++result.damaged;
    }
    if (layout.log) {
        const std::vector<std::string> lines = NewLogLines(archive, *layout.log);
        std::string error;
        if (!archive.AppendLogText(lines, error)) {
            result.problem = error + "; the entries were imported.";
            return result;
        }
        result.logLines = lines.size();
    }
    result.ok = true;
    return result;
}

std::string ArchiveImportText(const ArchiveImport& import) {
    if (!import.ok) return import.problem;
    std::string text = "Imported " + Count(import.entries, "entry", "entries") + " and " +
                       Count(import.logLines, "line", "lines") + " of the programming log.";
    if (import.alreadyThere > 0)
        text += " " + Count(import.alreadyThere, "entry was", "entries were") + " in the archive already.";
    if (import.damaged > 0)
        text += " " + Count(import.damaged, "entry", "entries") +
                " added cannot be trusted: listed as damaged, never restored.";
    return text;
}

}  // namespace orven
