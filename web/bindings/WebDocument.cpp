#include "web/bindings/WebDocument.h"

#include "clone/CloneResult.h"
#include "files/ChannelCsv.h"
#include "files/FileRead.h"
#include "files/FreqReport.h"
#include "files/SettingsFile.h"
#include "files/SettingsJson.h"
#include "model/ChannelList.h"
#include "model/ChannelTables.h"
#include "model/Checksum.h"
#include "model/DocumentFields.h"
#include "model/LineFormat.h"
#include "model/ModelPresets.h"
#include "model/SettingsRules.h"

#include <cstdio>
#include <fstream>

namespace orven::web {

namespace {

// The names the page gives the fields of printable text, and their refusals' subjects.
struct TextField {
    const char* key;
    const char* what;
};
constexpr TextField kTextFields[] = {
    {"nmea", kNmeaFieldName}, {"serial", kSerialFieldName}, {"brand", kBrandFieldName}, {"model", kModelNameFieldName}};

// The model wizard's model types, in the order it offers them.
constexpr struct {
    int type;
    const char* name;
} kWizardModels[] = {{kModelUsa, "USA"}, {kModelEurInt, "EUR (INT)"}, {kModelEurIntUsa, "EUR (INT,USA)"}};

json Problem(const std::string& title, const std::string& text) { return {{"title", title}, {"text", text}}; }

bool WriteFileBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::optional<Bytes> ReadFileBytes(const std::string& path, std::size_t size) {
    Bytes bytes(size);
    const FileRead read = ReadFileStart(path, bytes);
    if (read.status != FileReadStatus::Ok || read.bytes != size || read.more) return std::nullopt;
    return bytes;
}

DocumentFields FieldsFrom(const json& j, const DocumentFields& start) {
    DocumentFields f = start;
    IdentityEntry& id = f.identities;
    id.mmsi = j.value("mmsi", id.mmsi);
    id.mmsiByUser = j.value("mmsiByUser", id.mmsiByUser);
    id.atis = j.value("atis", id.atis);
    id.atisByUser = j.value("atisByUser", id.atisByUser);
    id.nmea = j.value("nmea", id.nmea);
    id.serial = j.value("serial", id.serial);
    const bool usa = j.value("usa", f.usa);
    if (j.contains("bands") && j["bands"].is_object())
        for (int b = 0; b < kBandCount; ++b)
            f.bands[b] = j["bands"].value(std::string(NameOfBand(static_cast<ChannelBand>(b))), f.bands[b]);
    if (usa != f.usa) SwitchModel(f, usa);
    f.txStep = j.value("txStep", f.txStep);
    f.rxStep = j.value("rxStep", f.rxStep);
    f.rxMid = j.value("rxMid", f.rxMid);
    return f;
}

json NotesJson(const IdentityNotes& notes) {
    return {{"mmsi", notes.mmsi}, {"atis", notes.atis}, {"warnings", notes.warnings}};
}

ChannelMode ModeNamed(const std::string& name) {
    if (name == "duplexPlus") return ChannelMode::DuplexPlus;
    return name == "duplexMinus" ? ChannelMode::DuplexMinus : ChannelMode::Simplex;
}

const char* ModeName(ChannelMode mode) {
    switch (mode) {
    case ChannelMode::DuplexPlus: return "duplexPlus";
    case ChannelMode::DuplexMinus: return "duplexMinus";
    case ChannelMode::Simplex: break;
    }
    return "simplex";
}

json FormJson(const ChannelForm& form) {
    return {{"nameFirst", form.nameFirst}, {"nameSecond", form.nameSecond}, {"usage", form.usage},
            {"tx", form.tx}, {"mode", ModeName(form.mode)}};
}

ChannelForm FormFrom(const json& j) {
    ChannelForm form;
    form.nameFirst = j.value("nameFirst", -1);
    form.nameSecond = j.value("nameSecond", -1);
    form.usage = j.value("usage", -1);
    form.tx = j.value("tx", "");
    form.mode = ModeNamed(j.value("mode", "simplex"));
    return form;
}

// The band of a band list entry, and the number of its channels the list shows.
ChannelBand BandOfEntry(const json& args) { return BandOfName(args.value("band", "")); }

// The base of a file name without its extension: "uk.dat" -> "uk".
std::string Stem(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

std::string Dumped(const json& answer) { return answer.dump(-1, ' ', false, json::error_handler_t::replace); }

WebDocument::WebDocument(std::string workFolder)
    : workFolder_(std::move(workFolder)), settings_(std::make_unique<RadioSettings>()), wizardModel_(kModelUsa) {
    LoadDefaults(*settings_, kModelUsa);
}

WebDocument::~WebDocument() = default;

bool WebDocument::European() const { return settings_->model != kModelUsa; }

void WebDocument::Replace(const RadioSettings& settings, const std::string& name, bool modified, bool fromRadio) {
    *settings_ = settings;
    name_ = name;
    modified_ = modified;
    fromRadio_ = fromRadio;
}

// The document's name, or what it is without one, "*" marking unsaved changes.
std::string WebDocument::Title() const {
    std::string title = name_;
    if (title.empty() && fromRadio_) {
        const std::string serial(FixedSlotText(settings_->serialNo));
        title = "Read from the radio" + (serial.empty() ? std::string() : ", serial " + PrintableText(serial));
    }
    if (title.empty()) title = "Untitled";
    return title + (modified_ ? "*" : "");
}

json WebDocument::FieldsJson() const {
    const DocumentFields f = FieldsOf(*settings_);
    json bands = json::object();
    for (int b = 0; b < kBandCount; ++b) bands[std::string(NameOfBand(static_cast<ChannelBand>(b)))] = f.bands[b];
    return {{"mmsi", f.identities.mmsi}, {"mmsiByUser", f.identities.mmsiByUser}, {"atis", f.identities.atis},
            {"atisByUser", f.identities.atisByUser}, {"nmea", f.identities.nmea}, {"serial", f.identities.serial},
            {"usa", f.usa}, {"bands", bands}, {"txStep", f.txStep}, {"rxStep", f.rxStep}, {"rxMid", f.rxMid}};
}

json WebDocument::View() const {
    const DocumentFields f = FieldsOf(*settings_);
    json freeBands = json::array();
    for (const ChannelBand band : kFreeBands) freeBands.push_back(NameOfBand(band));
    return {{"title", Title()},
            {"name", name_},
            {"modified", modified_},
            {"untitled", name_.empty()},
            {"fields", FieldsJson()},
            {"choices", {{"steps", kStepNames}, {"rxMids", std::vector<std::string>(kRxMidNames, kRxMidNames + kRxMidEntries)},
                         {"freeBands", freeBands}}},
            {"notes", NotesJson(NotesOf(f.identities, European()))},
            {"keptByRadio", {{"text", kKeptByRadioText}, {"tip", kKeptByRadioTip}}},
            {"bandEntries", BandComboEntries(f.bands)},
            {"brandName", std::string(FixedSlotText(settings_->brandName))},
            {"modelName", std::string(FixedSlotText(settings_->modelName))},
            {"document", SettingsToJson(*settings_)}};
}

json WebDocument::Edit(const json& fields) {
    const DocumentFields f = FieldsFrom(fields, FieldsOf(*settings_));
    TakeFields(*settings_, f);
    modified_ = true;
    return {{"title", Title()}, {"modified", true}, {"notes", NotesJson(NotesOf(f.identities, !f.usa))},
            {"bandEntries", BandComboEntries(FieldsOf(*settings_).bands)}, {"fields", FieldsJson()}};
}

json WebDocument::FieldRefusal(const json& args) const {
    const std::string key = args.value("field", "");
    for (const TextField& field : kTextFields)
        if (key == field.key) {
            const auto refusal = FieldTextRefusal(field.what, args.value("text", ""));
            return {{"refusal", refusal ? json(*refusal) : json(nullptr)}};
        }
    return {{"refusal", nullptr}};
}

json WebDocument::Step(const json& args) const {
    const std::size_t digits = args.value("field", "") == "nmea" ? kNmeaDigits : kSerialDigits;
    const auto stepped = SteppedDigits(args.value("text", ""), args.value("up", true), digits);
    return {{"text", stepped ? json(*stepped) : json(nullptr)}};
}

json WebDocument::DropQuestion() const {
    return {{"ask", modified_}, {"title", kSaveQuestionTitle}, {"text", kSaveQuestionText}};
}

json WebDocument::Open(const Bytes& bytes, const std::string& name) {
    const std::string path = workFolder_ + "/opened.dat";
    auto opened = std::make_unique<RadioSettings>();
    const CloneResult result = WriteFileBytes(path, bytes) ? LoadSettingsFile(path, *opened) : kResultFileRead;
    std::remove(path.c_str());
    if (result != kResultOk)
        return {{"ok", false}, {"status", ResultText(result)}, {"problem", Problem("Error", ResultText(result))}};
    Replace(*opened, name, false, false);
    return {{"ok", true}, {"status", kOpenFileOkText}, {"problem", nullptr}};
}

std::optional<Bytes> WebDocument::Save(std::string& fileName, std::string& error) {
    const std::string path = workFolder_ + "/saved.dat";
    const CloneResult result = SaveSettingsFile(path, *settings_);
    auto bytes = result == kResultOk ? ReadFileBytes(path, kSettingsFileSize) : std::nullopt;
    std::remove(path.c_str());
    if (!bytes) {
        error = ResultText(result == kResultOk ? kResultFileRead : result);
        return std::nullopt;
    }
    const std::string serial = PrintableText(FixedSlotText(settings_->serialNo));
    fileName = !name_.empty() ? name_ : fromRadio_ && !serial.empty() ? "radio-" + serial + ".dat" : "settings.dat";
    name_ = fileName;
    modified_ = false;
    return bytes;
}

json WebDocument::HeldIdentity(const json& args) const {
    const bool atis = args.value("field", "") == "atis";
    return {{"text", std::string(FixedSlotText(atis ? settings_->atisId : settings_->mmsiId))}};
}

json WebDocument::ChannelList(const json& args) const {
    const ChannelBand band = BandOfEntry(args);
    return {{"band", std::string(NameOfBand(band))}, {"lines", ChannelListLines(*settings_, band)}};
}

json WebDocument::ChannelAction(const json& args) {
    const std::string action = args.value("action", "");
    const ChannelBand band = BandOfEntry(args);
    const int selected = args.value("row", -1);
    const int count = static_cast<int>(PrivateListLines(*settings_).size());
    const ListAction act = action == "add"         ? AddAction(band, selected, count)
                           : action == "remove"      ? RemoveAction(band, selected, count)
                           : action == "doubleClick" ? DoubleClickAction(band, selected, false)
                                                     : EditAction(band, selected);
    if (act.refusal) return {{"refusal", *act.refusal}};
    if (action == "remove") {
        RemovePrivate(*settings_, count, act.row);
        modified_ = true;
        return {{"refusal", nullptr}, {"removed", true}};
    }
    if (action != "add" && act.row < 0) return {{"refusal", nullptr}, {"form", nullptr}};
    const ChannelForm form = action == "add" ? NewChannelForm() : FormOf(PrivateChannel(*settings_, act.row));
    return {{"refusal", nullptr},
            {"row", act.row},
            {"form", FormJson(form)},
            {"rx", RxText(form)},
            {"choices", {{"nameFirst", NameChoices(true)}, {"nameSecond", NameChoices(false)}, {"usages", UsageChoices()}}}};
}

json WebDocument::ChannelFormUpdate(const json& args) const {
    const ChannelForm form = FormFrom(args.value("form", json::object()));
    const auto refusal = args.value("leftTx", false) ? TxRefusal(form) : std::nullopt;
    return {{"rx", RxText(form)}, {"refusal", refusal ? json(*refusal) : json(nullptr)}};
}

json WebDocument::ChannelApply(const json& args) {
    const ChannelForm form = FormFrom(args.value("form", json::object()));
    if (const auto refusal = FormRefusal(form)) return {{"refusal", *refusal}};
    const int row = args.value("row", -1);
    const int count = static_cast<int>(PrivateListLines(*settings_).size());
    if (args.value("action", "") == "add") {
        // The list may have changed since the form was opened: the row is checked again.
        const ListAction act = AddAction(ChannelBand::Private, row, count);
        if (act.refusal) return {{"refusal", *act.refusal}};
        ChannelRecord added = NewChannelRecord();
        StoreForm(form, added);
        InsertPrivate(*settings_, count, act.row, added);
    } else {
        const ListAction act = EditAction(ChannelBand::Private, row);
        if (act.refusal) return {{"refusal", *act.refusal}};
        StoreForm(form, PrivateChannel(*settings_, act.row));
    }
    modified_ = true;
    return {{"refusal", nullptr}};
}

json WebDocument::Wizard(const json& args) const {
    const int model = args.value("model", wizardModel_);
    const int country = args.value("country", kCountryNone);
    auto preview = std::make_unique<RadioSettings>();
    LoadCountryPresets(*preview, model == kModelUsa ? kCountryNone : country);
    json models = json::array(), countries = json::array();
    for (const auto& m : kWizardModels) models.push_back({{"type", m.type}, {"name", m.name}});
    for (int c = 0; c < kCountryCount; ++c) countries.push_back(std::string(CountryName(c)));
    return {{"models", models}, {"model", model}, {"countries", countries}, {"country", country},
            {"countryEnabled", model != kModelUsa}, {"preview", PresetPreviewLines(*preview)}};
}

json WebDocument::LoadDefault(const json& args) {
    const int model = args.value("model", wizardModel_);
    const bool known = model == kModelUsa || model == kModelEurInt || model == kModelEurIntUsa;
    if (!known) return {{"ok", false}};
    auto built = std::make_unique<RadioSettings>();
    BuildModelDocument(*built, model, model == kModelUsa ? kCountryNone : args.value("country", kCountryNone));
    wizardModel_ = model;
    Replace(*built, "", false, false);
    return {{"ok", true}};
}

json WebDocument::Feature() const {
    const std::string brand(FixedSlotText(settings_->brandName)), model(FixedSlotText(settings_->modelName));
    return {{"brand", brand}, {"model", model}, {"limit", kNameTextLimit}};
}

json WebDocument::FeatureApply(const json& args) {
    const std::string brand = args.value("brand", ""), model = args.value("model", "");
    for (const auto& [what, text] : {std::pair{kBrandFieldName, brand}, std::pair{kModelNameFieldName, model}})
        if (const auto refusal = FieldTextRefusal(what, text)) return {{"refusal", *refusal}};
    CopyText(settings_->brandName, brand.c_str());
    CopyText(settings_->modelName, model.c_str());
    modified_ = true;
    return {{"refusal", nullptr}};
}

json WebDocument::Checksum() const {
    return {{"title", "CheckSum"}, {"text", ChecksumText(SettingsChecksum(*settings_))}};
}

std::string WebDocument::FrequencyReport() const { return FrequencyReportText(*settings_, LocalReportTime()); }

std::string WebDocument::ExportCsv(std::string& fileName) const {
    fileName = (name_.empty() ? std::string("channels") : Stem(name_)) + ".csv";
    return ChannelsToCsv(*settings_);
}

json WebDocument::CsvChosen(const Bytes& bytes, const json& args) {
    csvFile_ = PrintableText(args.value("file", "channels.csv"));
    const std::string path = workFolder_ + "/import.csv";
    std::string why;
    const bool read = WriteFileBytes(path, bytes) && ReadChannelCsvFile(path, csvText_, why);
    std::remove(path.c_str());
    if (!read) {
        csvText_.clear();
        return {{"refusal", csvFile_ + ": " + why + "."}, {"title", kCsvImportTitle}};
    }
    return {{"refusal", nullptr},
            {"title", kCsvImportTitle},
            {"text", CsvImportQuestion(csvFile_)},
            {"choices", {kCsvReplaceChoice, kCsvAppendChoice}}};
}

json WebDocument::CsvImport(const json& args) {
    const CsvImportMode mode = args.value("mode", "") == "append" ? CsvImportMode::Append : CsvImportMode::Replace;
    const CsvImportResult result = ImportChannelsCsv(csvText_, mode, *settings_, args.value("allowEmpty", false));
    if (result.noRows && mode == CsvImportMode::Append)
        return {{"ok", false}, {"problem", Problem(kCsvImportTitle, CsvNothingAppendedText(csvFile_))}};
    if (result.noRows) return {{"ok", false}, {"askEmpty", Problem(kCsvImportTitle, CsvEmptyListQuestion(csvFile_))}};
    if (!result.problems.empty())
        return {{"ok", false}, {"problem", Problem(kCsvImportTitle, CsvProblemsText(csvFile_, result))}};
    modified_ = true;
    return {{"ok", true}, {"status", CsvImportedText(result.channels)}};
}

}  // namespace orven::web
