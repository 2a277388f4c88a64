// Commands that work on settings files only: new, show, from-json, set, checksum, channels,
// export, compare.
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/SettingsJson.h"
#include "cli/ShowText.h"
#include "clone/WriteChecks.h"
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
#include <map>
#include <memory>
#include <ostream>
#include <sstream>
#include <vector>

namespace orven::cli {

namespace {

const std::map<std::string, int> kModelChoices = {{"usa", 0}, {"eur-int", 1}, {"eur-int-usa", 2}};
const std::map<std::string, int> kCountryChoices = {
    {"all", 0}, {"uk", 1}, {"denmark", 2}, {"finland", 3}, {"norway", 4},
    {"sweden", 5}, {"holland", 6}, {"belgium", 7}, {"none", 8}};
const std::map<std::string, bool> kOnOff = {{"on", true}, {"off", false}};

constexpr std::size_t kNameLimit = 12;  // what the feature setup dialog lets a user type
// `show --json` prints some tens of kilobytes; anything far larger is not such a document.
constexpr std::size_t kMaxJsonBytes = std::size_t{4} << 20;

void AddNew(CLI::App& app, const Console& io, int& exitCode) {
    struct Args { std::string file; int model = 0; int country = 8; };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("new", "Create a settings file with the defaults of a model");
    cmd->add_option("FILE", args->file, "Settings file to create")->required();
    cmd->add_option("--model", args->model, "Model variant")
        ->transform(CLI::CheckedTransformer(kModelChoices, CLI::ignore_case));
    cmd->add_option("--country", args->country, "European private channel preset")
        ->transform(CLI::CheckedTransformer(kCountryChoices, CLI::ignore_case));
    cmd->callback([args, &io, &exitCode] {
        RadioSettings s;
        BuildModelDocument(s, args->model, args->country);
        if (!SaveSettingsOrReport(args->file, s, io)) return void(exitCode = kExitFile);
        io.out << "Created " << args->file << " with " << PrivateChannelCount(s) << " private channels\n";
    });
}

void AddShow(CLI::App& app, const Console& io, int& exitCode) {
    struct Args { std::string file; bool json = false; };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("show", "Print the whole settings document");
    cmd->add_option("FILE", args->file, "Settings file")->required();
    cmd->add_flag("--json", args->json, "Print one JSON object with stable key names");
    cmd->callback([args, &io, &exitCode] {
        RadioSettings s;
        if (!LoadSettingsOrReport(args->file, s, io)) return void(exitCode = kExitFile);
        if (args->json)
            io.out << SettingsToJson(s).dump(2) << "\n";
        else
            io.out << SettingsShowText(s);
    });
}

void AddFromJson(CLI::App& app, const Console& io, int& exitCode) {
    struct Args { std::string in, out; };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("from-json", "Build a settings file from JSON (as `show --json` prints it)");
    cmd->add_option("IN", args->in, "JSON document")->required();
    cmd->add_option("OUT", args->out, "Settings file to write")->required();
    cmd->callback([args, &io, &exitCode] {
        if (std::filesystem::is_directory(args->in)) {
            io.err << args->in << ": is a folder, not a JSON document\n";
            return void(exitCode = kExitFile);
        }
        std::vector<std::uint8_t> text(kMaxJsonBytes);
        const FileRead read = ReadFileStart(args->in, text);
        if (read.status != FileReadStatus::Ok || read.more) {
            io.err << args->in << (read.status == FileReadStatus::CannotOpen ? ": cannot be opened\n"
                                   : read.more ? ": too large for a settings document\n"
                                               : ": cannot be read\n");
            return void(exitCode = kExitFile);
        }
        const nlohmann::json doc =
            nlohmann::json::parse(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(read.bytes), nullptr, false);
        if (doc.is_discarded()) {
            io.err << args->in << ": not valid JSON\n";
            return void(exitCode = kExitUsage);
        }
        RadioSettings s;
        std::string error;
        if (!SettingsFromJson(doc, s, error)) {
            io.err << args->in << ": " << error << "\n";
            return void(exitCode = kExitUsage);
        }
        if (!SaveSettingsOrReport(args->out, s, io)) return void(exitCode = kExitFile);
        io.out << "Wrote " << args->out << "\n";
    });
}

struct SetArgs {
    std::string file;
    std::optional<std::string> mmsi, atis, nmea, serial, brand, modelName;
    std::optional<bool> mmsiByUser, atisByUser;
};

// The first refusal among the given values, or an empty text.
std::string CheckSetArgs(const SetArgs& a) {
    if (a.mmsi && !a.mmsi->empty() && !IsValidIdentity9(*a.mmsi)) return InvalidMmsiMessage(*a.mmsi);
    if (a.atis && !a.atis->empty() && !IsValidIdentity9(*a.atis)) return InvalidAtisMessage(*a.atis);
    if (a.nmea && !IsValidNmeaNumber(*a.nmea)) return InvalidNmeaMessage(*a.nmea);
    if (a.serial && !IsValidSerialNumber(*a.serial)) return InvalidSerialMessage(*a.serial);
    if (a.brand && a.brand->size() > kNameLimit) return "Brand name is longer than 12 characters.";
    if (a.modelName && a.modelName->size() > kNameLimit) return "Model name is longer than 12 characters.";
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
    cmd->add_option("--mmsi-by-user", args->mmsiByUser, "MMSI entered on the radio, not programmed")
        ->transform(CLI::CheckedTransformer(kOnOff, CLI::ignore_case));
    cmd->add_option("--atis-by-user", args->atisByUser, "ATIS entered on the radio, not programmed")
        ->transform(CLI::CheckedTransformer(kOnOff, CLI::ignore_case));
    cmd->callback([args, &io, &exitCode] {
        if (const std::string refusal = CheckSetArgs(*args); !refusal.empty()) {
            io.err << refusal << "\n";
            return void(exitCode = kExitUsage);
        }
        RadioSettings s;
        if (!LoadSettingsOrReport(args->file, s, io)) return void(exitCode = kExitFile);
        ApplySetArgs(*args, s);
        if (!SaveSettingsOrReport(args->file, s, io)) return void(exitCode = kExitFile);
        io.out << "Updated " << args->file << "\n";
    });
}

void AddChecksum(CLI::App& app, const Console& io, int& exitCode) {
    auto file = std::make_shared<std::string>();
    auto* cmd = app.add_subcommand("checksum", "Print the checksum of a settings file's document");
    cmd->add_option("FILE", *file, "Settings file")->required();
    cmd->callback([file, &io, &exitCode] {
        RadioSettings s;
        if (!LoadSettingsOrReport(*file, s, io)) return void(exitCode = kExitFile);
        io.out << ChecksumText(SettingsChecksum(s)) << "\n";
    });
}

void AddChannels(CLI::App& app, const Console& io, int& exitCode) {
    struct Args { std::string band, file; };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("channels", "Print the channel list of a band as the window shows it");
    cmd->add_option("BAND", args->band,
                    "INT, USA, CAN, INT_Narrow, USA_Narrow, CAN_Narrow, WX, or Private (needs FILE)")
        ->required();
    cmd->add_option("FILE", args->file, "Settings file (for the Private band)");
    cmd->callback([args, &io, &exitCode] {
        ChannelBand band;
        if (!ParseBandName(args->band, band)) {
            io.err << "Unknown band: " << args->band << "\n";
            return void(exitCode = kExitUsage);
        }
        RadioSettings s{};
        if (band == ChannelBand::Private) {
            if (args->file.empty()) {
                io.err << "The Private band needs a settings FILE\n";
                return void(exitCode = kExitUsage);
            }
            if (!LoadSettingsOrReport(args->file, s, io)) return void(exitCode = kExitFile);
        }
        for (const std::string& line : ChannelListLines(s, band)) io.out << line << "\n";
    });
}

void AddExport(CLI::App& app, const Console& io, int& exitCode) {
    struct Args { std::string file, out; };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("export", "Write the frequency table report of a settings file");
    cmd->add_option("FILE", args->file, "Settings file")->required();
    cmd->add_option("-o,--output", args->out, "Report path (default: FreqTabl.txt in the working directory)");
    cmd->callback([args, &io, &exitCode] {
        RadioSettings s;
        if (!LoadSettingsOrReport(args->file, s, io)) return void(exitCode = kExitFile);
        const std::string path = args->out.empty() ? JoinPath(CurrentDirectory(), kFreqReportFileName) : args->out;
        if (!WriteFrequencyReport(path, s, LocalReportTime())) {
            io.err << "Can't Create file:\n" << path << "\n";
            return void(exitCode = kExitFile);
        }
        io.out << path << "\n";
    });
}

void AddCompare(CLI::App& app, const Console& io, int& exitCode) {
    struct Args { std::string pc, radio; std::optional<int> modelType; };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("compare", "Compare two settings files as Verify does; writes Verify.txt");
    cmd->add_option("PC", args->pc, "Settings on the PC side")->required();
    cmd->add_option("RADIO", args->radio, "Settings on the radio side")->required();
    cmd->add_option("--model-type", args->modelType, "0 USA, 1 EUR (INT), 2 EUR (INT,USA); default from PC")
        ->check(CLI::Range(0, 2));
    cmd->callback([args, &io, &exitCode] {
        RadioSettings pc, radio;
        if (!LoadSettingsOrReport(args->pc, pc, io) || !LoadSettingsOrReport(args->radio, radio, io))
            return void(exitCode = kExitFile);
        const int modelType = args->modelType.value_or(pc.model == 0 ? kModelUsa : kModelEurInt);
        const std::string path = JoinPath(CurrentDirectory(), kVerifyFileName);
        const std::int32_t flags = CompareRadioSettings(pc, radio, modelType, path, LocalReportTime());
        if (flags == kVerifyFileError) {
            io.err << "Can't Create file:\n" << path << "\n";
            return void(exitCode = kExitFile);
        }
        io.out << (flags == 0 ? "Verify OK." : "Verify Error.") << "\n" << path << "\n";
        exitCode = flags == 0 ? kExitOk : kExitDifferent;
    });
}

}  // namespace

void AddFileCommands(CLI::App& app, const Console& io, int& exitCode) {
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
