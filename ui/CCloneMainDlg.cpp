#include "ui/CCloneMainDlg.h"

#include "clone/CloneEvent.h"
#include "files/Paths.h"
#include "link/CHidDevice.h"
#include "link/PortNames.h"
#include "model/IdentityRules.h"
#include "model/LineFormat.h"
#include "model/MarineIdentity.h"
#include "model/PlatformLogi.h"
#include "ui/CUserDlg.h"
#include "ui/CaptionGroupBox.h"
#include "ui/ChannelListPanel.h"
#include "ui/CloneCommandController.h"
#include "ui/ElidedLabel.h"
#include "ui/ProgramIcon.h"
#include "ui/ResourceIds.h"
#include "ui/UpDownArrows.h"
#include "ui/UserPrompts.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace orven::ui {

namespace {

template <std::size_t N>
QString SlotText(const char (&slot)[N]) {
    const std::string_view text = FixedSlotText(slot);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString Latin1(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

void SelectQuietly(QComboBox* combo, int index) {
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(index);
}

}  // namespace

CCloneMainDlg::CCloneMainDlg(AppState& state, std::string workDir, QWidget* parent)
    : QMainWindow(parent), state_(state), workDir_(std::move(workDir)), settings_{},
      usbDevice_(&HidDeviceObject()), writeAccess_(CanWrite) {
    CloneStopEvent.Reset();
    CloneBusyEvent.Reset();
    BuildMenus();
    BuildWidgets();
    ConnectControls();
    InitDialog();
}

CCloneMainDlg::~CCloneMainDlg() = default;

void CCloneMainDlg::InitDialog() {
    setWindowIcon(ProgramIcon());
    atisEdit_->setMaxLength(static_cast<int>(kIdentityTextLength));
    mmsiEdit_->setMaxLength(static_cast<int>(kIdentityTextLength));
    SetUntitled(true);
    FirstCloneFlag() = 1;
    state_.uiReadOnly = 0;
    // The remembered model's defaults; no private channel until the user picks a country.
    LoadDefaults(settings_, state_.modelType);
    FillFixedCombos();
    BandBox(ChannelBand::WX)->setEnabled(false);
    BandBox(ChannelBand::Private)->setEnabled(false);
    ScanAndSelectPorts();
    // A rate index with no rate (a damaged state file) gives the first rate, as a state file too
    // short to hold the index does.
    const bool knownBaud = state_.baudIndex >= 0 && state_.baudIndex < baudCombo_->count();
    SelectQuietly(baudCombo_, knownBaud ? state_.baudIndex : 0);
    SetModifiedFlag(false);
    ShowSettings();
    RefreshTitle();
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &CCloneMainDlg::OnTimer);
    timer_->start(kTimerPeriodMs);
}

void CCloneMainDlg::FillFixedCombos() {
    for (QComboBox* step : {txStepCombo_, rxStepCombo_}) {
        const QSignalBlocker quiet(step);
        step->clear();
        for (const char* name : kStepNames) step->addItem(QString::fromLatin1(name));
    }
    {
        const QSignalBlocker quiet(baudCombo_);
        baudCombo_->clear();
        for (std::uint32_t baud : kBaudTable) baudCombo_->addItem(QString::number(baud));
    }
    const QSignalBlocker quiet(rxMidCombo_);
    rxMidCombo_->clear();
    for (std::size_t i = 0; i < kRxMidEntries; ++i)
        rxMidCombo_->addItem(QString::fromLatin1(kRxMidNames[i]));
}

// ---------------------------------------------------------------------------------------------
// Settings and controls

void CCloneMainDlg::ShowIdentity(QCheckBox* byUser, bool byUserOn, QLineEdit* edit, const std::string& text) {
    // What the document holds, even nothing: a field left as it was would carry another
    // document's identity into this one. The edit first, so that the box's change finds it as it
    // should be and leaves it.
    edit->setText(Latin1(text));
    edit->setEnabled(!byUserOn);
    byUser->setChecked(byUserOn);
}

void CCloneMainDlg::FollowEntryByUser(const QCheckBox* byUser, QLineEdit* edit, char (&slot)[60]) {
    const bool byUserOn = byUser->isChecked();
    if (byUserOn == !edit->isEnabled()) return;
    if (byUserOn) {
        TakeIdentityText(edit->text().toStdString(), slot);
        edit->clear();
    } else {
        edit->setText(SlotText(slot));
    }
    edit->setEnabled(!byUserOn);
}

DocumentFields CCloneMainDlg::ShownFields() const {
    DocumentFields f;
    f.identities = EnteredIdentities();
    f.usa = modelUsa_->isChecked();
    for (int band = 0; band < kBandCount; ++band) f.bands[band] = bandBoxes_[band]->isChecked();
    f.txStep = txStepCombo_->currentIndex();
    f.rxStep = rxStepCombo_->currentIndex();
    f.rxMid = rxMidCombo_->currentIndex();
    return f;
}

void CCloneMainDlg::GatherSettings() { TakeFields(settings_, ShownFields()); }

void CCloneMainDlg::ShowSettings() {
    const DocumentFields f = FieldsOf(settings_);
    ShowIdentity(atisByUser_, f.identities.atisByUser, atisEdit_, f.identities.atis);
    ShowIdentity(mmsiByUser_, f.identities.mmsiByUser, mmsiEdit_, f.identities.mmsi);
    nmeaEdit_->setText(Latin1(f.identities.nmea));
    serialEdit_->setText(Latin1(f.identities.serial));
    for (int band = 0; band < kBandCount; ++band) bandBoxes_[band]->setChecked(f.bands[band]);
    modelUsa_->setChecked(f.usa);
    modelEurope_->setChecked(!f.usa);
    SelectQuietly(txStepCombo_, f.txStep);
    SelectQuietly(rxStepCombo_, f.rxStep);
    RefillChannels();
    SelectQuietly(rxMidCombo_, f.rxMid);
}

void CCloneMainDlg::RefreshTitle() {
    const QString version = QString::fromLatin1(ids::kStrVersion);
    const QString modified = state_.modified ? QStringLiteral("*") : QString();
    // The variant of the document shown, whatever the wizard chose last.
    const QString variant = QStringLiteral(" - ") + QString::fromLatin1(modelUsa_->isChecked() ? ids::kStrUsaVariant
                                                                                              : ids::kStrEuropeVariant);
    if (state_.untitled) {
        const QString model = SlotText(settings_.modelName);
        identityGroup_->setTitle(model);
        if (untitledName_.isEmpty()) setWindowTitle(model + modified + QLatin1Char(' ') + version);
        else setWindowTitle(untitledName_ + modified + variant + QLatin1Char(' ') + version);
    } else {
        identityGroup_->setTitle(QString());
        std::string shown(FixedSlotText(state_.filePath));
        const std::size_t at = shown.rfind(workDir_);
        if (!workDir_.empty() && at != std::string::npos) shown = shown.substr(at + workDir_.size());
        QString title = QString::fromLocal8Bit(shown.c_str());
        if (state_.fileReadOnly) title += QStringLiteral("(Read only)");
        setWindowTitle(title + modified + variant + QLatin1Char(' ') + version);
    }
    QString options;
    if (state_.traceLog) options += QStringLiteral("Logo;");
    if (state_.dumpImages) options += QStringLiteral("Save RomMap;");
    if (state_.fastTransfer) options += QStringLiteral("Fast;");
    if (state_.verifyAfterWrite) options += QStringLiteral("Verify;");
    if (!state_.noBackupBeforeWrite) options += QStringLiteral("Backup;");
    optionLine_->setText(options);
}

void CCloneMainDlg::MarkModified() {
    ++editCount_;
    if (state_.modified) return;
    state_.modified = 1;
    RefreshTitle();
}

void CCloneMainDlg::SetModifiedFlag(bool modified) { state_.modified = modified ? 1 : 0; }

void CCloneMainDlg::SetUntitled(bool untitled) { state_.untitled = untitled ? 1 : 0; }

void CCloneMainDlg::TakeRadioDocument(const RadioSettings& read) {
    settings_ = read;
    const QString serial = SlotText(settings_.serialNo);
    ShowUntitledDocument(QStringLiteral("From radio ") + (serial.isEmpty() ? QStringLiteral("(no serial)") : serial),
                         true);
}

void CCloneMainDlg::UpdateEntryByUserFields() {
    atisByUser_->setEnabled(true);
    mmsiByUser_->setEnabled(true);
    FollowEntryByUser(atisByUser_, atisEdit_, settings_.atisId);
    FollowEntryByUser(mmsiByUser_, mmsiEdit_, settings_.mmsiId);
}

bool CCloneMainDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && (watched == mmsiEdit_ || watched == atisEdit_))
        MarkModified();
    return QMainWindow::eventFilter(watched, event);
}

IdentityEntry CCloneMainDlg::EnteredIdentities() const {
    const auto read = [](const QLineEdit* edit) {
        return edit->text().left(static_cast<qsizetype>(kIdentityFieldReadLimit)).toStdString();
    };
    IdentityEntry entry;
    entry.mmsi = read(mmsiEdit_);
    entry.mmsiByUser = mmsiByUser_->isChecked();
    entry.atis = read(atisEdit_);
    entry.atisByUser = atisByUser_->isChecked();
    entry.nmea = read(nmeaEdit_);
    entry.serial = read(serialEdit_);
    return entry;
}

std::vector<std::string> CCloneMainDlg::IdentityWarningsNow() const {
    return NotesOf(EnteredIdentities(), modelEurope_->isChecked()).warnings;
}

void CCloneMainDlg::RefreshIdentityNotes() {
    const IdentityNotes notes = NotesOf(EnteredIdentities(), modelEurope_->isChecked());
    mmsiDecoded_->setText(QString::fromStdString(notes.mmsi));
    atisDecoded_->setText(QString::fromStdString(notes.atis));
    QStringList warnings;
    for (const std::string& warning : notes.warnings) warnings << QString::fromStdString(warning);
    identityWarnings_->setText(warnings.join(QLatin1Char('\n')));
}

void CCloneMainDlg::StoreSelections() {
    state_.editBand = channels_->BandEntry();
    state_.comPort = portCombo_->currentIndex();
    state_.baudIndex = baudCombo_->currentIndex();
}

std::string CCloneMainDlg::PortName() const {
    const int port = portCombo_->currentIndex();
    return port > 0 ? ComPortName(port) : std::string("USB");
}

// ---------------------------------------------------------------------------------------------
// Band selection

std::array<bool, kBandCount> CCloneMainDlg::TickedBands() const {
    std::array<bool, kBandCount> ticked{};
    for (int band = 0; band < kBandCount; ++band) ticked[band] = bandBoxes_[band]->isChecked();
    return ticked;
}

void CCloneMainDlg::RefillChannels() {
    channels_->FillBandCombo(TickedBands());
    channels_->FillChannelList();
}

void CCloneMainDlg::OnModelClicked() {
    MarkModified();
    RefreshTitle();  // the variant follows the model
    const bool usa = modelUsa_->isChecked();
    BandBox(ChannelBand::WX)->setChecked(usa);
    BandBox(ChannelBand::Private)->setChecked(!usa);
    OnBandBoxClicked();
}

void CCloneMainDlg::OnBandBoxClicked() {
    MarkModified();
    RefillChannels();
}

// ---------------------------------------------------------------------------------------------
// Status line, ports and radio detection

void CCloneMainDlg::ShowStatus(const QString& text) {
    statusText_->setText(text);
    statusTicks_ = kStatusTicks;
}

void CCloneMainDlg::SetStatusText(const QString& text) { statusText_->setText(text); }

// The countdown to "Ready." waits too: the answer may take longer than a result's ten seconds.
CCloneMainDlg::AwaitingAnswer::AwaitingAnswer(CCloneMainDlg& window, const QString& awaited)
    : window_(window), awaited_(QStringLiteral("Waiting for your answer:\n") + awaited),
      text_(window.statusText_->text()), ticks_(window.statusTicks_) {
    window_.statusTicks_ = 0;
    window_.statusText_->setText(awaited_);
}

// A result that came meanwhile (a clone running beside the question ended) stays.
CCloneMainDlg::AwaitingAnswer::~AwaitingAnswer() {
    if (window_.statusText_->text() != awaited_) return;
    window_.statusText_->setText(text_);
    window_.statusTicks_ = ticks_;
}

void CCloneMainDlg::OnTimer() {
    if (statusTicks_ > 0 && --statusTicks_ == 0) statusText_->setText(QString::fromLatin1(kReady));
    // Searching opens the device, so it runs only while none is attached.
    const bool attached = usbDevice_->IsPresent() || usbDevice_->FindDevice();
    usbStatus_->setText(QString::fromLatin1(attached ? kUsbDetected : kUsbAbsent));
}

void CCloneMainDlg::ScanAndSelectPorts() {
    portPresent_ = ScanComPorts();
    FillPortCombo();
    const bool known = state_.comPort >= 0 && state_.comPort < portCombo_->count();
    SelectQuietly(portCombo_, known ? state_.comPort : 0);
}

void CCloneMainDlg::FillPortCombo() {
    const QSignalBlocker quiet(portCombo_);
    portCombo_->clear();
    portCombo_->addItem(QStringLiteral("USB"));
    portCombo_->setItemData(0, QStringLiteral("The radio on USB"), Qt::ToolTipRole);
    for (int n = 1; n <= kComPortCount; ++n) {
        QString name = QString::fromStdString(ComPortName(n));
        if (!portPresent_[n - 1]) name += QLatin1String(kAbsentPortMark);
        portCombo_->addItem(name);
        const std::string device = ComPortDevice(n);
        portCombo_->setItemData(n,
                                device.empty() ? QStringLiteral("No device")
                                               : QString::fromLocal8Bit(device.c_str()),
                                Qt::ToolTipRole);
    }
}

// ---------------------------------------------------------------------------------------------
// Closing

void CCloneMainDlg::closeEvent(QCloseEvent* event) {
    if (clone_->Running() && !clone_->MayStopForClose()) {
        event->ignore();
        return;
    }
    // A write may have ended while its question was open.
    if (clone_->Running()) {
        // The worker still reports to this window: stop it, and close once it has ended.
        clone_->StopAndCloseWindow();
        event->ignore();
        return;
    }
    if (!closeHandled_) {
        StoreSelections();
        if (!MayDropDocument()) {
            event->ignore();
            return;
        }
        closeHandled_ = true;
    }
    event->accept();
}

}  // namespace orven::ui
