// Commands that work on settings files only: new, show, from-json, set, checksum, channels,
// export, compare.
#include "cli/Choices.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/CompareReport.h"
#include "files/SettingsJson.h"
#include "cli/ShowText.h"
#include "model/IdentityRules.h"
#include "model/SettingsRules.h"
#include "files/FileRead.h"
#include "files/FreqReport.h"
#include "files/Paths.h"
#include "files/ReportTime.h"
#include "files/VerifyReport.h"
#include "model/ChannelList.h"
#include "model/Checksum.h"
#include "model/ModelPresets.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>
#include <vector>

namespace orven::cli {

namespace {

const ChoiceList kModelChoices = {{"usa", kModelUsa}, {"eur-int", kModelEurInt}, {"eur-int-usa", kModelEurIntUsa}};
const ChoiceList kCountryChoices = {{"all", 0},    {"uk", 1},      {"denmark", 2},
                                    {"finland", 3}, {"norway", 4},  {"sweden", 5},
                                    {"holland", 6}, {"belgium", 7}, {"none", 8}};
const ChoiceList kOnOff = {{"on", 1}, {"off", 0}};
// The bands in the order the window's band combo lists them.
const ChoiceList kBandChoices = [] {
    ChoiceList bands;
    for (const ChannelBand band : {ChannelBand::INT, ChannelBand::USA, ChannelBand::CAN, ChannelBand::INT_Narrow,
                                   ChannelBand::USA_Narrow, ChannelBand::CAN_Narrow, ChannelBand::WX,
                                   ChannelBand::Private})
        bands.emplace_back(std::string(NameOfBand(band)), static_cast<int>(band));
    return bands;
}();

// `show --json` prints some tens of kilobytes; anything far larger is not such a document.
constexpr std::size_t kMaxJsonBytes = std::size_t{4} << 20;

void AddNew(CLI::App& app, Console& io, int& exitCode) {
    struct Args { std::string file; int model = kModelUsa; int country = 8; };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("new", "Create a settings file with the defaults of a model");
    cmd->add_option("FILE", args->file, "Settings file to create (- for stdout)")->required();
    WithChoices(cmd->add_option("--model", args->model, "Model variant"), kModelChoices);
    const CLI::Option* country = WithChoices(
        cmd->add_option("--country", args->country, "Private channel preset of a European model"), kCountryChoices);
    cmd->callback([args, country, &io, &exitCode] {
        if (args->model == kModelUsa && country->count() > 0) {
            io.err << "The USA model has no country presets: --country goes with eur-int and eur-int-usa\n";
            return void(exitCode = kExitUsage);
        }
        io.dataOnStdout = IsStandardOutput(args->file);
        if (!OutputApartOrReport(args->file, {}, io)) return void(exitCode = kExitUsage);
        auto held = std::make_unique<RadioSettings>();
        RadioSettings& s = *held;
        BuildModelDocument(s, args->model, args->country);
        if (!SaveSettingsOrReport(args->file, s, io)) return void(exitCode = kExitFile);
        io.Success() << "Created " << args->file << " with " << PrivateChannelCount(s) << " private channels\n";
    });
}

void AddShow(CLI::App& app, const Console& io, int& exitCode) {
    struct Args { std::string file; bool json = false; };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("show", "Print the whole settings document");
    cmd->add_option("FILE", args->file, "Settings file")->required();
    cmd->add_flag("--json", args->json, "Print one JSON object with stable key names");
    cmd->callback([args, &io, &exitCode] {
        auto held = std::make_unique<RadioSettings>();
        RadioSettings& s = *held;
        if (!LoadSettingsOrReport(args->file, s, io)) return void(exitCode = kExitFile);
        WarnAboutIdentities(s, io);
        if (args->json)
            io.out << SettingsToJson(s).dump(2) << "\n";
        else
            io.out << SettingsShowText(s);
    });
}

void AddFromJson(CLI::App& app, Console& io, int& exitCode) {
    struct Args { std::string in, out; };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("from-json", "Build a settings file from JSON (as `show --json` prints it)");
    cmd->add_option("IN", args->in, "JSON document")->required();
    cmd->add_option("OUT", args->out, "Settings file to write (- for stdout)")->required();
    cmd->callback([args, &io, &exitCode] {
        io.dataOnStdout = IsStandardOutput(args->out);
        if (!OutputApartOrReport(args->out, {args->in}, io)) return void(exitCode = kExitUsage);
        if (std::filesystem::is_directory(args->in)) {
            io.err << args->in << ": is a folder, not a JSON document\n";
            return void(exitCode = kExitFile);
        }
        std::string text;
        if (const std::string why = WholeReadProblem(ReadTextStart(args->in, kMaxJsonBytes, text), "a settings document");
            !why.empty()) {
            io.err << args->in << ": " << why << "\n";
            return void(exitCode = kExitFile);
        }
        const nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
        if (doc.is_discarded()) {
            io.err << args->in << ": not valid JSON\n";
            return void(exitCode = kExitUsage);
        }
        auto held = std::make_unique<RadioSettings>();
        RadioSettings& s = *held;
        std::string error;
        if (!SettingsFromJson(doc, s, error)) {
            io.err << args->in << ": " << error << "\n";
            return void(exitCode = kExitUsage);
        }
        if (!SaveSettingsOrReport(args->out, s, io)) return void(exitCode = kExitFile);
        WarnAboutIdentities(s, io);
        io.Success() << "Wrote " << args->out << "\n";
    });
}

struct SetArgs {
    std::string file;
    std::optional<std::string> mmsi, atis, nmea, serial, brand, modelName;
    std::optional<bool> mmsiByUser, atisByUser;
};

// The first refusal among the given values, or an empty text.
std::string CheckSetArgs(const SetArgs& a) {
    if (!a.mmsi && !a.atis && !a.nmea && !a.serial && !a.brand && !a.modelName && !a.mmsiByUser && !a.atisByUser)
        return "Nothing to set: give at least one value to change (see orven-cli set --help).";
    if (a.mmsi && !a.mmsi->empty() && !IsValidIdentity9(*a.mmsi)) return InvalidMmsiMessage(*a.mmsi);
    if (a.atis && !a.atis->empty() && !IsValidIdentity9(*a.atis)) return InvalidAtisMessage(*a.atis);
    if (a.nmea && !IsValidNmeaNumber(*a.nmea)) return InvalidNmeaMessage(*a.nmea);
    const std::pair<const std::optional<std::string>*, const char*> texts[] = {
        {&a.serial, "Serial number"}, {&a.brand, "Brand name"}, {&a.modelName, "Model name"}};
    for (const auto& [text, name] : texts)
        if (*text)
            if (const auto refusal = UnprintableTextRefusal(**text)) return std::string(name) + " " + *refusal + ".";
    if (a.serial && !IsValidSerialNumber(*a.serial)) return InvalidSerialMessage(*a.serial);
    if (a.brand && a.brand->size() > kNameTextLimit) return "Brand name is longer than 12 characters.";
    if (a.modelName && a.modelName->size() > kNameTextLimit) return "Model name is longer than 12 characters.";
    return {};
}

void ApplySetArgs(const SetArgs& a, RadioSettings& s) {
    if (a.mmsi) CopyText(s.mmsiId, a.mmsi->c_str());
    if (a.atis) CopyText(s.atisId, a.atis->c_str());
    if (a.nmea) CopyText(s.nmeaNo, a.nmea->c_str());
    if (a.serial) CopyText(s.serialNo, a.serial->c_str());
    if (a.brand) CopyText(s.brandName, a.brand->c_str());
    if (a.modelName) CopyText(s.modelName, a.modelName->c_str());
    if (a.mmsiByUser) s.mmsiByUser = *a.mmsiByUser ? 1 : 0;
    if (a.atisByUser) s.atisByUser = *a.atisByUser ? 1 : 0;
}

void AddSet(CLI::App& app, const Console& io, int& exitCode) {
    auto args = std::make_shared<SetArgs>();
    auto* cmd = app.add_subcommand("set", "Edit the identities and names of a settings file in place");
    cmd->add_option("FILE", args->file, "Settings file")->required();
    cmd->add_option("--mmsi", args->mmsi, "MMSI: 9 digits, the first not 0 (empty clears it)");
    cmd->add_option("--atis", args->atis, "Last 9 digits of the ATIS identity (empty clears it)");
    cmd->add_option("--nmea", args->nmea, "NMEA2000 number: 6 digits (empty clears it)");
    cmd->add_option("--serial", args->serial, "Serial number: at most 8 characters");
    cmd->add_option("--brand", args->brand, "Brand name: at most 12 characters");
    cmd->add_option("--model-name", args->modelName, "Model name: at most 12 characters");
    WithChoices(cmd->add_option("--mmsi-by-user", args->mmsiByUser, "MMSI entered on the radio, not programmed"),
                kOnOff);
    WithChoices(cmd->add_option("--atis-by-user", args->atisByUser, "ATIS entered on the radio, not programmed"),
                kOnOff);
    cmd->callback([args, &io, &exitCode] {
        if (const std::string refusal = CheckSetArgs(*args); !refusal.empty()) {
            io.err << refusal << "\n";
            return void(exitCode = kExitUsage);
        }
        if (!OutputApartOrReport(args->file, {}, io)) return void(exitCode = kExitUsage);
        auto held = std::make_unique<RadioSettings>();
        RadioSettings& s = *held;
        if (!LoadSettingsOrReport(args->file, s, io)) return void(exitCode = kExitFile);
        ApplySetArgs(*args, s);
        if (!SaveSettingsOrReport(args->file, s, io)) return void(exitCode = kExitFile);
        if (args->mmsi || args->atis) WarnAboutIdentities(s, io);
        io.Success() << "Updated " << args->file << "\n";
    });
}

void AddChecksum(CLI::App& app, const Console& io, int& exitCode) {
    auto file = std::make_shared<std::string>();
    auto* cmd = app.add_subcommand("checksum", "Print the checksum of a settings file's document");
    cmd->add_option("FILE", *file, "Settings file")->required();
    cmd->callback([file, &io, &exitCode] {
        auto held = std::make_unique<RadioSettings>();
        RadioSettings& s = *held;
        if (!LoadSettingsOrReport(*file, s, io)) return void(exitCode = kExitFile);
        io.out << ChecksumText(SettingsChecksum(s)) << "\n";
    });
}

void AddChannels(CLI::App& app, const Console& io, int& exitCode) {
    struct Args { int band = 0; std::string file; };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("channels", "Print the channel list of a band as the window shows it");
    WithChoices(cmd->add_option("BAND", args->band, "The band (any case); Private needs FILE"), kBandChoices)
        ->required();
    cmd->add_option("FILE", args->file, "Settings file whose private channels are listed (Private band only)");
    cmd->callback([args, &io, &exitCode] {
        const auto band = static_cast<ChannelBand>(args->band);
        if ((band == ChannelBand::Private) == args->file.empty()) {
            io.err << (args->file.empty() ? "The Private band needs a settings FILE\n"
                                          : "Only the Private band is read from a settings FILE; the " +
                                                std::string(NameOfBand(band)) + " list is built in\n");
            return void(exitCode = kExitUsage);
        }
        auto held = std::make_unique<RadioSettings>();
        RadioSettings& s = *held;
        if (!args->file.empty() && !LoadSettingsOrReport(args->file, s, io)) return void(exitCode = kExitFile);
        for (const std::string& line : ChannelListLines(s, band)) io.out << line << "\n";
    });
}

void AddExport(CLI::App& app, Console& io, int& exitCode) {
    struct Args { std::string file, out; };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("export", "Write the frequency table report of a settings file");
    cmd->add_option("FILE", args->file, "Settings file")->required();
    cmd->add_option("-o,--output", args->out,
                    std::string("Report path (default: ") + kFreqReportFileName +
                        " in the working directory; - for stdout)")
        ->type_name("PATH");
    cmd->callback([args, &io, &exitCode] {
        io.dataOnStdout = IsStandardOutput(args->out);
        const std::string path = args->out.empty() ? JoinPath(CurrentDirectory(), kFreqReportFileName) : args->out;
        if (!OutputApartOrReport(path, {args->file}, io)) return void(exitCode = kExitUsage);
        auto s = std::make_unique<RadioSettings>();
        if (!LoadSettingsOrReport(args->file, *s, io)) return void(exitCode = kExitFile);
        if (!WriteReportOrReport(path, FrequencyReportText(*s, LocalReportTime()), io)) return void(exitCode = kExitFile);
        if (!io.dataOnStdout) io.Success() << path << "\n";
    });
}

void AddCompare(CLI::App& app, Console& io, int& exitCode) {
    struct Args { std::string pc, radio, report; };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("compare", "Compare two settings files as Verify does; writes a report");
    cmd->add_option("PC", args->pc, "Settings on the PC side")->required();
    cmd->add_option("RADIO", args->radio, "Settings on the radio side")->required();
    AddReportOption(*cmd, args->report);
    cmd->callback([args, &io, &exitCode] {
        io.dataOnStdout = IsStandardOutput(args->report);
        const std::string reportPath = ReportPathOf(args->report);
        if (!OutputApartOrReport(reportPath, {args->pc, args->radio}, io)) return void(exitCode = kExitUsage);
        auto pc = std::make_unique<RadioSettings>();
        auto radio = std::make_unique<RadioSettings>();
        if (!LoadSettingsOrReport(args->pc, *pc, io) || !LoadSettingsOrReport(args->radio, *radio, io))
            return void(exitCode = kExitFile);
        std::string report;
        const std::int32_t flags = CompareSettings(*pc, *radio, LocalReportTime(), report);
        exitCode = ReportComparison(flags, report, reportPath, io);
    });
}

}  // namespace

void AddFileCommands(CLI::App& app, Console& io, int& exitCode) {
    AddNew(app, io, exitCode);
    AddShow(app, io, exitCode);
    AddFromJson(app, io, exitCode);
    AddSet(app, io, exitCode);
    AddChecksum(app, io, exitCode);
    AddChannels(app, io, exitCode);
    AddExport(app, io, exitCode);
    AddCompare(app, io, exitCode);
}

}  // namespace orven::cli
