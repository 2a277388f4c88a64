// The program's fixed resource numbers: menu commands, dialogs, controls and strings. Widgets
// carry their number (see WidgetIds.h), so tests and handlers find them by it.
#pragma once

namespace orven::ids {

// Dialogs and menus.
inline constexpr int kAboutDialog = 100;
inline constexpr int kMainDialog = 102;
inline constexpr int kMainMenu = 129;
inline constexpr int kModelWizardDialog = 130;
inline constexpr int kUserDialog = 131;
inline constexpr int kChannelSetupDialog = 134;
inline constexpr int kFeatureSetupDialog = 135;
inline constexpr int kIdentityConfirmDialog = 136;  // our own
inline constexpr int kRadioArchiveDialog = 137;     // our own
inline constexpr int kConnectionCheckDialog = 138;  // our own
inline constexpr int kRemoveIdentitiesDialog = 139;  // our own
inline constexpr int kFleetDialog = 140;             // our own
inline constexpr int kAppIcon = 128;

// Strings.
inline constexpr const char* kStrAboutMenuItem = "ORVEN Clone(&A)...";  // 101
inline constexpr const char* kStrVersion = "V1.15";                    // 102
inline constexpr const char* kStrUsaVariant = "VOROZUDE";              // 103
inline constexpr const char* kStrEuropeVariant = "RAVUZORU";           // 104

// Menu commands of the main window.
namespace menu {
inline constexpr int kLoadDefault = 32771;
inline constexpr int kOpen = 32772;
inline constexpr int kSave = 32774;
inline constexpr int kSaveAs = 32775;
inline constexpr int kExit = 32776;
inline constexpr int kFeatureSetup = 32779;
inline constexpr int kExportFreqTable = 32781;
inline constexpr int kViewCheckSum = 32782;
inline constexpr int kAbout = 32783;
inline constexpr int kHandShake = 32785;
inline constexpr int kWriteToRadio = 1005;
inline constexpr int kReadFromRadio = 1004;
inline constexpr int kVerify = 1003;
inline constexpr int kFastTransfer = 32790;  // our own: the checkable fast transfer item
inline constexpr int kVerifyAfterWrite = 32791;  // our own: read the radio back after a write
inline constexpr int kBackupBeforeWrite = 32792;  // our own: keep what the radio held in the archive
inline constexpr int kRadioArchive = 32793;       // our own: the radio archive dialog
inline constexpr int kImportChannels = 32794;     // our own: private channels from a spreadsheet
inline constexpr int kExportChannels = 32795;     // our own: private channels to a spreadsheet
inline constexpr int kCheckConnection = 32796;    // our own: the connection checklist
inline constexpr int kWriteRemovingIdentities = 32797;  // our own: a write that removes identities
inline constexpr int kFleetProgramming = 32798;   // our own: many radios from a template and a roster
}  // namespace menu

// Controls of the main window.
namespace main {
inline constexpr int kChannelList = 1000;
inline constexpr int kBandCombo = 1023;
inline constexpr int kWxChannels = 1028;
inline constexpr int kAtisByUser = 1049;
inline constexpr int kAtisEdit = 1050;
inline constexpr int kMmsiByUser = 1051;
inline constexpr int kMmsiEdit = 1052;
inline constexpr int kIdentityGroup = 1063;
inline constexpr int kOptionLine = 1064;
inline constexpr int kBandUsa = 1080;
inline constexpr int kBandCan = 1081;
inline constexpr int kBandInt = 1082;
inline constexpr int kBandPrivate = 1083;
inline constexpr int kBandUsaNarrow = 1084;
inline constexpr int kBandIntNarrow = 1085;
inline constexpr int kBandCanNarrow = 1086;
inline constexpr int kUsbStatus = 1097;
inline constexpr int kTxStepCombo = 1098;
inline constexpr int kRxStepCombo = 1099;
inline constexpr int kRxMidCombo = 1100;
inline constexpr int kAddButton = 1103;
inline constexpr int kRemoveButton = 1104;
inline constexpr int kEditButton = 1105;
inline constexpr int kReadButton = 1106;
inline constexpr int kModelEurope = 1107;
inline constexpr int kModelUsa = 1108;
inline constexpr int kNmeaEdit = 1111;
inline constexpr int kSerialEdit = 1120;
inline constexpr int kNmeaSpin = 1123;
inline constexpr int kSerialSpin = 1124;
inline constexpr int kPortCombo = 1125;
inline constexpr int kScanButton = 1126;
inline constexpr int kBaudCombo = 1127;
inline constexpr int kStatusText = 1006;
inline constexpr int kProgressBar = 1007;
inline constexpr int kWriteButton = 1005;
// Our own: what the MMSI and ATIS fields say, and the warnings they deserve.
inline constexpr int kMmsiDecoded = 1130;
inline constexpr int kAtisDecoded = 1131;
inline constexpr int kIdentityWarnings = 1132;
}  // namespace main

// About dialog.
namespace about {
inline constexpr int kProductLine = 1036;
}

// Model wizard.
namespace wizard {
inline constexpr int kCountryCombo = 1021;
inline constexpr int kPreviewList = 1037;
inline constexpr int kEurInt = 1079;
inline constexpr int kUsa = 1087;
inline constexpr int kEurIntUsa = 1088;
}  // namespace wizard

// User options dialog.
namespace user {
inline constexpr int kTraceLog = 1012;
inline constexpr int kDumpImages = 1013;
inline constexpr int kFirstClone = 1024;
inline constexpr int kUiReadOnly = 1083;
inline constexpr int kVersionNotes = 1104;
}  // namespace user

// Channel setup dialog.
namespace channel {
inline constexpr int kTxEdit = 1041;
inline constexpr int kRxEdit = 1042;
inline constexpr int kDuplexPlus = 1047;
inline constexpr int kSimplex = 1048;
inline constexpr int kDuplexMinus = 1049;
inline constexpr int kNameFirst = 1100;
inline constexpr int kNameSecond = 1101;
inline constexpr int kUsageCombo = 1102;
}  // namespace channel

// Feature setup dialog.
namespace feature {
inline constexpr int kBrandEdit = 1055;
inline constexpr int kModelEdit = 1056;
inline constexpr int kGpsAlert = 1059;
inline constexpr int kWxAlert = 1062;
}  // namespace feature

// Identity confirmation before a write (our own): for each identity (by IdentityKind, from the
// first) the edit in which a new value is typed again, or the box that accepts a removal.
namespace confirm {
inline constexpr int kAgainFirst = 1201;
inline constexpr int kMmsiAgain = 1201;
inline constexpr int kAtisAgain = 1202;
inline constexpr int kNmeaAgain = 1203;
inline constexpr int kSerialAgain = 1204;
inline constexpr int kAcceptFirst = 1206;
}  // namespace confirm

// The identities a write removes (our own): a box for each, by IdentityKind from the first.
namespace remove {
inline constexpr int kIdentityFirst = 1230;
}  // namespace remove

// The radio archive dialog (our own).
namespace archive {
inline constexpr int kEntryList = 1210;
inline constexpr int kEntryNote = 1211;
inline constexpr int kOpen = 1212;
inline constexpr int kRestore = 1213;
inline constexpr int kSaveRegister = 1214;
}  // namespace archive

// The connection check dialog (our own).
namespace check {
inline constexpr int kChecklist = 1220;
inline constexpr int kCheckAgain = 1221;
inline constexpr int kCopy = 1222;
inline constexpr int kCheckedAt = 1223;
}  // namespace check

// The fleet programming dialog (our own).
namespace fleet {
inline constexpr int kTemplateEdit = 1240;
inline constexpr int kTemplateBrowse = 1241;
inline constexpr int kRosterEdit = 1242;
inline constexpr int kRosterBrowse = 1243;
inline constexpr int kPortList = 1244;
inline constexpr int kOnce = 1245;
inline constexpr int kProblems = 1246;
inline constexpr int kPortTable = 1247;
inline constexpr int kReports = 1248;
inline constexpr int kStart = 1249;
inline constexpr int kStop = 1250;
inline constexpr int kAssignEdit = 1251;
inline constexpr int kAllowReuse = 1252;
}  // namespace fleet

// Dialog buttons.
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;

}  // namespace orven::ids
