#include "ui/CChannelSetupDlg.h"

#include "model/ChannelBand.h"
#include "model/PlatformLogi.h"
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

#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace orven::ui {

namespace {

const QString kErrorTitle = QStringLiteral("Error");

QComboBox* ChoiceBox(QWidget* parent, int id, const std::vector<std::string>& choices) {
    auto* box = WithId(new QComboBox(parent), id);
    for (const std::string& choice : choices) box->addItem(QString::fromStdString(choice));
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
    nameFirst_ = ChoiceBox(group, ids::channel::kNameFirst, NameChoices(true));
    nameSecond_ = ChoiceBox(group, ids::channel::kNameSecond, NameChoices(false));
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(nameFirst_);
    layout->addWidget(nameSecond_);
    return group;
}

QWidget* CChannelSetupDlg::MakeUsageGroup() {
    auto* group = new QGroupBox(QStringLiteral("Usage"), this);
    usage_ = ChoiceBox(group, ids::channel::kUsageCombo, UsageChoices());
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
    for (QRadioButton* mode : {duplexPlus_, simplex_, duplexMinus_})
        connect(mode, &QRadioButton::clicked, this, &CChannelSetupDlg::ModeClicked);
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
    const ChannelForm form = FormOf(record);
    tx_->setText(QString::fromStdString(form.tx));
    rx_->setText(QString::fromStdString(FrequencyText(record.rxMHz)));
    (form.mode == ChannelMode::Simplex ? simplex_ : form.mode == ChannelMode::DuplexMinus ? duplexMinus_ : duplexPlus_)
        ->setChecked(true);
    nameFirst_->setCurrentIndex(form.nameFirst);
    nameSecond_->setCurrentIndex(form.nameSecond);
    usage_->setCurrentIndex(form.usage);
}

ChannelForm CChannelSetupDlg::Form() const {
    return {nameFirst_->currentIndex(), nameSecond_->currentIndex(), usage_->currentIndex(),
            tx_->text().toStdString(), SelectedMode()};
}

ChannelMode CChannelSetupDlg::SelectedMode() const {
    if (duplexPlus_->isChecked()) return ChannelMode::DuplexPlus;
    return simplex_->isChecked() ? ChannelMode::Simplex : ChannelMode::DuplexMinus;
}

bool CChannelSetupDlg::Passes(const std::optional<std::string>& refusal) {
    if (!refusal) return true;
    warning_ = true;
    Prompts().Message(this, kErrorTitle, QString::fromStdString(*refusal), PromptIcon::None);
    warning_ = false;
    return false;
}

void CChannelSetupDlg::TxLeft() {
    if (warning_ || !Passes(TxRefusal(Form()))) return;
    rx_->setText(QString::fromStdString(RxText(Form())));
}

void CChannelSetupDlg::ModeClicked() { rx_->setText(QString::fromStdString(RxText(Form()))); }

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

// The form is taken only as the settings file check would take it, or the document saved with this
// channel would not open again.
void CChannelSetupDlg::accept() {
    if (!Passes(FormRefusal(Form()))) return;
    if (ChannelRecord* record = PickedRecord()) StoreForm(Form(), *record);
    QDialog::accept();
}

}  // namespace orven::ui
