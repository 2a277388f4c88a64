// The web page's radio archives: the real radios' and the demo radio's, kept apart as the desktop
// keeps them, in the module's memory under the work folder and made lasting by the page (the
// browser's origin-private file system) whenever an entry or a line of the log is added. Listing,
// opening an entry as the document, the checks before a restore, the programming log, and the
// whole archive out and in as one zip.
#pragma once

#include "files/RadioArchive.h"
#include "web/bindings/WebDocument.h"

#include <functional>
#include <optional>
#include <string>

namespace orven::web {

class WebArchive {
public:
    explicit WebArchive(const std::string& workFolder);

    // The archive of the radio on the demo port, or of real radios.
    const RadioArchive& Of(bool demo) const { return demo ? demo_ : real_; }
    // Every change to either is handed to `persist` before the core goes on.
    void SetPersist(std::function<void()> persist);

    // {"folder", "entries": [{"id", "serial", "time", "operation", "mmsi", "damage", "canOpen",
    // "canRestore", "note"}], "empty": what an empty archive says}
    json List(bool demo) const;
    // The entry's settings made the document (untitled, nothing unsaved): {"ok", "status", "problem"}.
    json Open(bool demo, const std::string& id, WebDocument& document) const;
    // The question before a restore onto the radio on `port`, or why the entry cannot be restored:
    // {"refusal": {title, text}} or {"title", "text"}.
    json RestoreQuestion(bool demo, const std::string& id, const std::string& port) const;
    // The entry's exact image, checked against its record; nothing, `why` set, when it cannot be trusted.
    std::optional<RadioImage> Image(bool demo, const std::string& id, std::string& why) const;
    // The entry's settings file; nothing when it keeps none.
    std::optional<Bytes> SettingsFile(bool demo, const std::string& id) const;

    // The programming log, a line for each write, restore and verify: {"lines", "damaged"}.
    json Log(bool demo) const;
    // The log file as it is (empty when there is none).
    Bytes LogFile(bool demo) const;
    // The archive as one zip, and the name to give it.
    Bytes Export(bool demo, std::string& fileName) const;
    // A zip's entries and log lines added: {"ok", "text"}.
    json Import(bool demo, const Bytes& zip) const;

private:
    RadioArchive real_;
    RadioArchive demo_;
};

}  // namespace orven::web
