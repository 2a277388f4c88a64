// A radio archive as one zip file, laid out as the archive folder is: a top folder named as the
// archive's own ("archive" or "demo-archive"), then <serial>/<entry>/image.bin, settings.dat and
// record.json, and programming.log. Unpacked beside the desktop program's archive folder it is that
// folder; packed from it, it imports into another archive. So an archive moves between machines,
// and between the web edition and the desktop program.
#pragma once

#include "files/RadioArchive.h"
#include "files/ZipFile.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orven {

// Every entry's files and the programming log, stamped with `time`.
std::vector<std::uint8_t> ExportArchiveZip(const RadioArchive& archive, const ZipTime& time);

// What an import did. Nothing is changed unless every file of the zip belongs to a radio archive.
struct ArchiveImport {
    bool ok = false;
    std::string problem;                 // why nothing was imported
    std::size_t entries = 0;             // entries added
    std::size_t alreadyThere = 0;        // entries the archive held already, byte for byte
    std::size_t logLines = 0;            // lines of the log added (those it held already are not)
    std::size_t damaged = 0;             // entries added that are damaged (listed as such, never restored)
    std::vector<std::string> added;      // ids of the entries added
};
// Adds the zip's entries and the lines of its log to the archive. A zip with a top folder of either
// archive's name, or with none, is taken; a file that is no part of an archive refuses the whole zip.
// An entry whose name the archive already uses for other bytes is added under the next free name.
ArchiveImport ImportArchiveZip(const RadioArchive& archive, std::span<const std::uint8_t> zip);

// What the user is told of an import: "Imported 3 entries and 5 lines of the programming log; 1
// entry was there already." or why nothing was.
std::string ArchiveImportText(const ArchiveImport& import);

}  // namespace orven
