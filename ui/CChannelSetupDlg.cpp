#include "ui/CChannelSetupDlg.h"

#include "model/ChannelBand.h"
#include "model/PlatformLogi.h"
#include "model/SettingsRules.h"
#include "model/UsageNameTable.h"
#include "ui/ChannelFrequency.h"
#include "ui/DialogButtons.h"
#include "ui/ResourceIds.h"
#include "ui/UserPrompts.h"
#include "ui/WidgetIds.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>
#include <cstdint>
#include <string_view>
#include <tuple>

namespace orven::ui {

namespace {

// The characters a channel name is made of; the second name character is a digit, the first ten.
constexpr std::string_view kNameAlphabet = kLabelFirstCharacters;
constexpr int kSecondNameChoices = 10;

// A new channel starts out simplex on this frequency.
constexpr double kNewChannelMHz = 157.85;
// RX and TX this close together make a simplex channel.
constexpr double kSimplexToleranceMHz = 0.00001;

const QString kErrorTitle = QStringLiteral("Error");

// The alphabet entry of a name character: the entry of its position, 0 when it is not in the
// alphabet, and no entry (-1) when the position is beyond the box's choices.
int NameEntry(char c, int choices) {
    const std::size_t position = kNameAlphabet.find(c);
    if (position == std::string_view::npos) return 0;
    return static_cast<int>(position) < choices ? static_cast<int>(position) : -1;
}

// The usage box lists the usage names from the first real one; other codes show entry 0.
int UsageEntry(std::uint8_t usage) {
    const int code = static_cast<std::int8_t>(usage);
    const int last = static_cast<int>(kUsageNameCount) - 1;
    return code >= kFirstUsageName && code <= last ? code - kFirstUsageName : 0;
}

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QComboBox* NameBox(QWidget* parent, int id, int choices) {
    auto* box = WithId(new QComboBox(parent), id);
    for (int k = 0; k < choices; ++k) box->addItem(QString(QLatin1Char(kNameAlphabet[k])));
    return box;
}

}  // namespace

CChannelSetupDlg::CChannelSetupDlg(AppState& state, RadioSettings& settings, bool newChannel,
                                   QWidget* parent)
    : QDialog(parent), state_(state), settings_(settings), newChannel_(newChannel) {
    WithId(this, ids::kChannelSetupDialog);
    setModal(true);
    setWindowTitle(QStringLiteral("Channel Setup Dialog"));

    auto* top = new QHBoxLayout;
    top->addWidget(MakeNameGroup());
    top->addWidget(MakeUsageGroup(), 1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(MakeFrequencyGroup(), 1);
    middle->addWidget(MakeModeGroup());
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle);
    layout->addLayout(MakeButtonRow(*this, ButtonRow::OkCancel));

    own_.txMHz = kNewChannelMHz;
    own_.rxMHz = kNewChannelMHz;
    own_.inUse = 1;
    if (const ChannelRecord* record = PickedRecord()) {
        ShowRecord(*record);
    } else {
        nameFirst_->setCurrentIndex(-1);
        nameSecond_->setCurrentIndex(-1);
        usage_->setCurrentIndex(-1);
    }
    tx_->installEventFilter(this);
}

QWidget* CChannelSetupDlg::MakeNameGroup() {
    auto* group = new QGroupBox(QStringLiteral("Name"), this);
    nameFirst_ = NameBox(group, ids::channel::kNameFirst, static_cast<int>(kNameAlphabet.size()));
    nameSecond_ = NameBox(group, ids::channel::kNameSecond, kSecondNameChoices);
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(nameFirst_);
    layout->addWidget(nameSecond_);
    return group;
}

QWidget* CChannelSetupDlg::MakeUsageGroup() {
    auto* group = new QGroupBox(QStringLiteral("Usage"), this);
    usage_ = WithId(new QComboBox(group), ids::channel::kUsageCombo);
    for (int code = kFirstUsageName; code < static_cast<int>(kUsageNameCount); ++code) {
        const std::string_view name = UsageName(code);
        if (name.empty()) break;
        // The names are padded for the fixed columns of the channel list; here they stand alone.
        usage_->addItem(Latin1(name).trimmed());
    }
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(usage_);
    return group;
}

QWidget* CChannelSetupDlg::MakeFrequencyGroup() {
    auto* group = new QGroupBox(QStringLiteral("Frequency"), this);
    tx_ = WithId(new QLineEdit(group), ids::channel::kTxEdit);
    rx_ = WithId(new QLineEdit(group), ids::channel::kRxEdit);
    rx_->setReadOnly(true);
    rx_->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QGridLayout(group);
    for (auto [row, text, edit] : {std::tuple{0, "Tx Freq", tx_}, std::tuple{1, "Rx Freq", rx_}}) {
        auto* label = new QLabel(QString::fromLatin1(text), group);
        label->setBuddy(edit);
        edit->setAccessibleName(label->text());
        layout->addWidget(label, row, 0);
    }
    layout->addWidget(tx_, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("MHz"), group), 0, 2);
    layout->addWidget(rx_, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("MHz"), group), 1, 2);
    layout->setColumnStretch(1, 1);
    return group;
}

QWidget* CChannelSetupDlg::MakeModeGroup() {
    auto* group = new QGroupBox(QStringLiteral("Mode"), this);
    duplexPlus_ = WithId(new QRadioButton(QStringLiteral("Duplex(RX=TX+4.6)"), group), ids::channel::kDuplexPlus);
    simplex_ = WithId(new QRadioButton(QStringLiteral("Simplex"), group), ids::channel::kSimplex);
    duplexMinus_ = WithId(new QRadioButton(QStringLiteral("Duplex(RX=TX-4.6)"), group), ids::channel::kDuplexMinus);
    connect(duplexPlus_, &QRadioButton::clicked, this, [this] { ModeClicked(Mode::DuplexPlus); });
    connect(simplex_, &QRadioButton::clicked, this, [this] { ModeClicked(Mode::Simplex); });
    connect(duplexMinus_, &QRadioButton::clicked, this, [this] { ModeClicked(Mode::DuplexMinus); });
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(duplexPlus_);
    layout->addWidget(simplex_);
    layout->addWidget(duplexMinus_);
    return group;
}

// The record the dialog edits; nullptr when the edit position lies outside the channel store.
ChannelRecord* CChannelSetupDlg::PickedRecord() {
    if (newChannel_) return &own_;
    std::int64_t index = state_.editIndex;
    // The four bands of the channel store each own a block of slots; any other band index
    // (narrow bands, WX) leaves editIndex as the store index itself.
    if (state_.editBand >= 0 && state_.editBand <= static_cast<int>(ChannelBand::Private))
        index += static_cast<std::int64_t>(state_.editBand) * static_cast<std::int64_t>(kSlotsPerBlock);
    if (index < 0 || index >= static_cast<std::int64_t>(kChannelSlots)) return nullptr;
    return &settings_.channels[index];
}

void CChannelSetupDlg::ShowRecord(const ChannelRecord& record) {
    tx_->setText(FrequencyText(record.txMHz));
    rx_->setText(FrequencyText(record.rxMHz));
    // Only the side RX lies on counts, not how far off it is.
    if (std::fabs(record.rxMHz - record.txMHz) <= kSimplexToleranceMHz) simplex_->setChecked(true);
    else if (record.rxMHz < record.txMHz) duplexMinus_->setChecked(true);
    else duplexPlus_->setChecked(true);
    nameFirst_->setCurrentIndex(NameEntry(record.label[0], nameFirst_->count()));
    nameSecond_->setCurrentIndex(NameEntry(record.label[1], nameSecond_->count()));
    usage_->setCurrentIndex(UsageEntry(record.usage));
}

// RX is derived from TX and the mode; the RX edit is only a display.
void CChannelSetupDlg::StoreRecord(ChannelRecord& record) const {
    record.txMHz = TxValue();
    record.rxMHz = RxFor(SelectedMode(), record.txMHz);
    // A box without a selection keeps the character or code the record had.
    if (nameFirst_->currentIndex() >= 0) record.label[0] = kNameAlphabet[nameFirst_->currentIndex()];
    if (nameSecond_->currentIndex() >= 0) record.label[1] = kNameAlphabet[nameSecond_->currentIndex()];
    if (usage_->currentIndex() >= 0)
        record.usage = static_cast<std::uint8_t>(usage_->currentIndex() + kFirstUsageName);
}

double CChannelSetupDlg::RxFor(Mode mode, double txMHz) {
    switch (mode) {
    case Mode::DuplexPlus: return txMHz + kDuplexOffsetMHz;
    case Mode::Simplex: break;
    case Mode::DuplexMinus: return txMHz - kDuplexOffsetMHz;
    }
    return txMHz;
}

CChannelSetupDlg::Mode CChannelSetupDlg::SelectedMode() const {
    if (duplexPlus_->isChecked()) return Mode::DuplexPlus;
    return simplex_->isChecked() ? Mode::Simplex : Mode::DuplexMinus;
}

double CChannelSetupDlg::TxValue() const { return ReadFrequency(tx_->text()); }

bool CChannelSetupDlg::CheckTx() {
    if (IsValidTxFrequency(TxValue())) return true;
    warning_ = true;
    Prompts().Message(this, kErrorTitle, QString::fromStdString(InvalidTxMessage()), PromptIcon::None);
    warning_ = false;
    return false;
}

void CChannelSetupDlg::TxLeft() {
    if (warning_ || !CheckTx()) return;
    rx_->setText(FrequencyText(RxFor(SelectedMode(), TxValue())));
}

// Simplex copies the typed text as it stands; OK stores RX = TX in any case.
void CChannelSetupDlg::ModeClicked(Mode mode) {
    if (mode == Mode::Simplex) rx_->setText(tx_->text());
    else rx_->setText(FrequencyText(RxFor(mode, TxValue())));
}

// Leaving the TX field checks it. Focus that goes away only because the dialog stopped being
// the active window (another window, or the warning itself, came to the front) has not left the
// field: it comes back there, and warning about it would open one box after another.
bool CChannelSetupDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tx_ && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) TxLeft();
    }
    return QDialog::eventFilter(watched, event);
}

// The RX that TX and the mode give must lie where the settings file check wants it, or the
// document saved with this channel would not open again.
bool CChannelSetupDlg::CheckRx() {
    if (InRadioRange(RxFor(SelectedMode(), TxValue()))) return true;
    Prompts().Message(this, kErrorTitle, QString::fromStdString(InvalidRxMessage()), PromptIcon::None);
    return false;
}

void CChannelSetupDlg::accept() {
    if (!CheckTx() || !CheckRx()) return;
    if (ChannelRecord* record = PickedRecord()) StoreRecord(*record);
    QDialog::accept();
}

}  // namespace orven::ui
