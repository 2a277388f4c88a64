#include "web/bindings/WebArchive.h"

#include "clone/CloneResult.h"
#include "clone/CloneWords.h"
#include "files/ArchiveZip.h"
#include "files/FileRead.h"
#include "files/Paths.h"
#include "files/SettingsFile.h"
#include "model/LineFormat.h"

#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>

namespace orven::web {

namespace {

// An archive text as the page shows it: "-" for none, anything unprintable escaped.
std::string Shown(const std::string& text) { return text.empty() ? "-" : PrintableText(text); }

json Problem(const std::string& title, const std::string& text) { return {{"title", title}, {"text", text}}; }

ZipTime ZipTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

}  // namespace

WebArchive::WebArchive(const std::string& workFolder)
    : real_(JoinPath(workFolder, "archive")), demo_(JoinPath(workFolder, "demo-archive")) {}

void WebArchive::SetPersist(std::function<void()> persist) {
    real_.SetAfterChange(persist);
    demo_.SetAfterChange(std::move(persist));
}

json WebArchive::List(bool demo) const {
    json entries = json::array();
    for (const ArchiveEntry& e : Of(demo).List()) {
        const ArchiveRecord& r = e.record;
        entries.push_back({{"id", PrintableText(e.id)},
                           {"serial", Shown(r.serial)},
                           {"time", Shown(r.time)},
                           {"operation", Shown(r.operation)},
                           {"mmsi", Shown(r.mmsi)},
                           {"damage", PrintableText(e.damage)},
                           {"canOpen", !SettingsFileOf(e).empty()},
                           {"canRestore", !e.Damaged()},
                           {"note", EntryNote(e)}});
    }
    return {{"folder", demo ? "the demo radio's archive" : "the radio archive"}, {"entries", entries},
            {"empty", kArchiveEmptyText}};
}

json WebArchive::Open(bool demo, const std::string& id, WebDocument& document) const {
    const auto entry = Of(demo).Find(id);
    const std::string path = entry ? SettingsFileOf(*entry) : std::string();
    auto settings = std::make_unique<RadioSettings>();
    const CloneResult result = path.empty() ? kResultOpenFile : LoadSettingsFile(path, *settings);
    if (result != kResultOk)
        return {{"ok", false}, {"status", ResultText(result)}, {"problem", Problem("Error", ResultText(result))}};
    document.Replace(*settings, "", false, false);
    return {{"ok", true}, {"status", kOpenFileOkText}, {"problem", nullptr}};
}

json WebArchive::RestoreQuestion(bool demo, const std::string& id, const std::string& port) const {
    const auto entry = Of(demo).Find(id);
    if (!entry) return {{"refusal", Problem(kRestoreErrorTitle, DamagedRestoreText(id, "no such entry"))}};
    auto image = std::make_unique<RadioImage>();
    std::string why;
    if (!Of(demo).LoadImage(*entry, *image, why))
        return {{"refusal", Problem(kRestoreErrorTitle, DamagedRestoreText(entry->id, why))}};
    return {{"refusal", nullptr},
            {"title", kRestoreTitle},
            {"text", ::orven::RestoreQuestion(entry->id, entry->record.serial, entry->record.time, port)}};
}

std::optional<RadioImage> WebArchive::Image(bool demo, const std::string& id, std::string& why) const {
    const auto entry = Of(demo).Find(id);
    RadioImage image{};
    why = entry ? "" : "no such entry";
    if (!entry || !Of(demo).LoadImage(*entry, image, why)) return std::nullopt;
    return image;
}

std::optional<Bytes> WebArchive::SettingsFile(bool demo, const std::string& id) const {
    const auto entry = Of(demo).Find(id);
    const std::string path = entry ? SettingsFileOf(*entry) : std::string();
    if (path.empty()) return std::nullopt;
    Bytes bytes(kSettingsFileSize);
    const FileRead read = ReadFileStart(path, bytes);
    if (read.status != FileReadStatus::Ok || read.bytes != bytes.size() || read.more) return std::nullopt;
    return bytes;
}

json WebArchive::Log(bool demo) const {
    const LogRead log = Of(demo).ReadLog();
    json lines = json::array();
    for (const LogLine& l : log.lines)
        lines.push_back(LogLineReport(l, "entry " + Shown(l.backup) + " of the radio archive (Restore... writes it back)"));
    return {{"lines", lines}, {"damaged", log.damaged}};
}

Bytes WebArchive::LogFile(bool demo) const {
    std::ifstream in(JoinPath(Of(demo).Folder(), kProgrammingLogName), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes WebArchive::Export(bool demo, std::string& fileName) const {
    const ZipTime t = ZipTimeNow();
    fileName = FormatLine("%s-%04d-%02d-%02d.zip", demo ? "orven-demo-archive" : "orven-archive", t.year, t.month, t.day);
    return ExportArchiveZip(Of(demo), t);
}

json WebArchive::Import(bool demo, const Bytes& zip) const {
    const ArchiveImport imported = ImportArchiveZip(Of(demo), zip);
    return {{"ok", imported.ok}, {"text", ArchiveImportText(imported)}};
}

}  // namespace orven::web
