// The web page's document: the settings on screen with their name and whether they have unsaved
// changes, and every way the page edits them (the fields, the private channels, Load Default,
// feature setup, a spreadsheet), each by the core's rules and in the words the window uses.
// Answers are JSON the page shows as they are.
#pragma once

#include "files/ChannelCsv.h"
#include "files/SettingsFile.h"
#include "model/PrivateChannelEdits.h"
#include "model/RadioSettings.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orven::web {

using json = nlohmann::ordered_json;
using Bytes = std::vector<std::uint8_t>;

// The JSON text of an answer. A radio's or a file's bytes that are not UTF-8 (an erased serial
// number, a label of odd bytes) are replaced, never thrown over: a throw would leave the page
// waiting for an answer that never comes.
std::string Dumped(const json& answer);

class WebDocument {
public:
    // Starts with the defaults of the USA model, untitled. Files the core reads and writes on the
    // way go to `workFolder`.
    explicit WebDocument(std::string workFolder);
    ~WebDocument();

    RadioSettings& Settings() { return *settings_; }
    const RadioSettings& Settings() const { return *settings_; }
    const std::string& Name() const { return name_; }

    // Makes `settings` the document, untitled (or by `name`); `modified` when it has no file yet
    // that holds it (a read from the radio).
    void Replace(const RadioSettings& settings, const std::string& name, bool modified, bool fromRadio);

    // {"title", "name", "modified", "untitled", "fields": the fields as the document shows them,
    // "notes": what is said of the identities, "bandEntries": the band list's entries,
    // "brandName", "modelName", "document": the settings as show --json has them}
    json View() const;
    // The fields as the page has them now, taken into the document; the notes for them as typed.
    json Edit(const json& fields);
    // The number the document holds for {"field": "mmsi" or "atis"}, even one the radio keeps:
    // {"text"}, for the field whose "entry by user" was unticked.
    json HeldIdentity(const json& args) const;
    // A text typed into a field of printable text (nmea, serial, brand, model): {"refusal"}.
    json FieldRefusal(const json& args) const;
    // One arrow step of the NMEA2000 or serial number field: {"text"}, null when it cannot be stepped.
    json Step(const json& args) const;
    // Before the document is replaced: {"ask", "title", "text"}.
    json DropQuestion() const;

    // The most bytes of a file Open needs: a settings file's, and one more to tell a longer file.
    // The page hands over no more, so a file of any size is judged without being loaded whole.
    static constexpr std::size_t kOpenBytesNeeded = kSettingsFileSize + 1;
    // The same for a channel spreadsheet: the longest one taken, and one more byte to refuse a longer one.
    static constexpr std::size_t kCsvBytesNeeded = kMaxChannelCsvBytes + 1;
    // A settings file opened: {"ok", "status", "problem"}.
    json Open(const Bytes& bytes, const std::string& name);
    // The document as a settings file and the name to save it under; nothing, `error` set, when
    // it cannot be made. A saved document has no unsaved changes.
    std::optional<Bytes> Save(std::string& fileName, std::string& error);

    // The channel list of a band entry: {"band", "lines"}.
    json ChannelList(const json& args) const;
    // A button of the list ({"action": edit|doubleClick|add|remove, "band", "row"}): {"refusal"},
    // or for Edit and Add the form to fill in ({"row", "form", "rx", "choices"}); Remove removes.
    json ChannelAction(const json& args);
    // The form's RX for its TX and mode, and with "leftTx" the TX refusal: {"rx", "refusal"}.
    json ChannelFormUpdate(const json& args) const;
    // The form taken ({"action": edit|add, "row", "form"}): {"refusal"}, or the channel stored.
    json ChannelApply(const json& args);

    // Load Default's wizard: the model types, the countries, and the preview of the private
    // channels the choice ({"model", "country"}) gives.
    json Wizard(const json& args) const;
    // The wizard's choice made the document (untitled, nothing unsaved).
    json LoadDefault(const json& args);
    // Feature setup: {"brand", "model", "limit"}; and the names taken ({"refusal"} or done).
    json Feature() const;
    json FeatureApply(const json& args);
    // View CheckSum: {"title", "text"}.
    json Checksum() const;
    // The frequency table report's text.
    std::string FrequencyReport() const;

    // The private channels as a spreadsheet, and the name to give it.
    std::string ExportCsv(std::string& fileName) const;
    // A spreadsheet chosen ({"file"}, its bytes): {"refusal"} when it is none, else the question
    // whether to replace or append ({"title", "text", "choices"}). The text is kept for the import.
    json CsvChosen(const Bytes& bytes, const json& args);
    // The import ({"mode": replace|append, "allowEmpty"}): {"ok", "status"}, {"problem"}, or for
    // an empty replace {"askEmpty": {"title", "text"}}.
    json CsvImport(const json& args);

private:
    bool European() const;
    std::string Title() const;
    json FieldsJson() const;

    std::string workFolder_;
    std::unique_ptr<RadioSettings> settings_;
    std::string name_;
    bool modified_ = false;
    bool fromRadio_ = false;
    int wizardModel_;          // the model type the wizard starts at: the last one chosen
    std::string csvText_, csvFile_;
};

}  // namespace orven::web
