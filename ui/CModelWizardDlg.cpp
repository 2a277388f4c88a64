#include "ui/CModelWizardDlg.h"

#include "model/ChannelTables.h"
#include "model/ModelPresets.h"
#include "model/PlatformLogi.h"
#include "ui/DialogButtons.h"
#include "ui/ResourceIds.h"
#include "ui/WidgetIds.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace orven::ui {

namespace {
// A preview row is this wide: "31 Tx=157.5500 Rx=162.1500 " and a 16-character usage name.
constexpr int kPreviewColumns = 43;
constexpr int kPreviewVisibleRows = 12;
}  // namespace

CModelWizardDlg::CModelWizardDlg(AppState& state, RadioSettings& buffer, QWidget* parent)
    : QDialog(parent), state_(state), buffer_(buffer) {
    WithId(this, ids::kModelWizardDialog);
    setModal(true);
    setWindowTitle(QStringLiteral("Model Wizard Dialog ") + QLatin1String(ids::kStrVersion));

    auto* groups = new QHBoxLayout;
    groups->addWidget(MakeModelGroup(), 0, Qt::AlignTop);
    groups->addWidget(MakeCountryGroup(), 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(MakeButtonRow(*this, ButtonRow::OkCancel));

    SelectModel(state_.modelType);
    // The country always starts at "None", whatever was chosen last time.
    country_->setCurrentIndex(kCountryNone);
    ShowCountryPresets();
    EnableCountryParts();
    connect(country_, &QComboBox::currentIndexChanged, this, &CModelWizardDlg::ShowCountryPresets);
}

QWidget* CModelWizardDlg::MakeModelGroup() {
    auto* group = new QGroupBox(QStringLiteral("Model Type"), this);
    usa_ = WithId(new QRadioButton(QStringLiteral("USA"), group), ids::wizard::kUsa);
    eurInt_ = WithId(new QRadioButton(QStringLiteral("EUR (INT)"), group), ids::wizard::kEurInt);
    eurIntUsa_ = WithId(new QRadioButton(QStringLiteral("EUR (INT,USA)"), group), ids::wizard::kEurIntUsa);
    auto* layout = new QVBoxLayout(group);
    for (QRadioButton* button : {usa_, eurInt_, eurIntUsa_}) {
        layout->addWidget(button);
        connect(button, &QRadioButton::toggled, this, &CModelWizardDlg::EnableCountryParts);
    }
    layout->addStretch(1);
    return group;
}

QWidget* CModelWizardDlg::MakeCountryGroup() {
    auto* group = new QGroupBox(QStringLiteral("European Private Channels"), this);
    country_ = WithId(new QComboBox(group), ids::wizard::kCountryCombo);
    for (int i = 0; i < kCountryCount; ++i) {
        const std::string_view name = CountryName(i);
        country_->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    auto* label = new QLabel(QStringLiteral("Private Channel"), group);
    label->setBuddy(country_);

    preview_ = WithId(new QListWidget(group), ids::wizard::kPreviewList);
    preview_->setAccessibleName(group->title());
    preview_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    preview_->setSelectionMode(QAbstractItemView::NoSelection);
    const QFontMetrics metrics(preview_->font());
    const int margins = 2 * preview_->frameWidth() + 4 * preview_->spacing() + 8;
    const int scrollBar = preview_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    preview_->setMinimumSize(
        metrics.horizontalAdvance(QString(kPreviewColumns, QLatin1Char('0'))) + scrollBar + margins,
        metrics.lineSpacing() * kPreviewVisibleRows + margins);

    auto* countryRow = new QHBoxLayout;
    countryRow->addWidget(label);
    countryRow->addWidget(country_, 1);
    auto* layout = new QVBoxLayout(group);
    layout->addLayout(countryRow);
    layout->addWidget(preview_, 1);
    return group;
}

void CModelWizardDlg::SelectModel(int modelType) {
    if (modelType == kModelUsa) usa_->setChecked(true);
    else if (modelType == kModelEurInt) eurInt_->setChecked(true);
    else eurIntUsa_->setChecked(true);
}

int CModelWizardDlg::SelectedModel() const {
    if (usa_->isChecked()) return kModelUsa;
    return eurInt_->isChecked() ? kModelEurInt : kModelEurIntUsa;
}

void CModelWizardDlg::EnableCountryParts() {
    const bool european = !usa_->isChecked();
    country_->setEnabled(european);
    preview_->setEnabled(european);
}

// The preview shows what the buffer's Private block now holds, so the presets go into the buffer
// first. This only matters after OK: the caller gives the wizard a buffer of its own.
void CModelWizardDlg::ShowCountryPresets() {
    LoadCountryPresets(buffer_, country_->currentIndex());
    preview_->clear();
    for (const std::string& line : PresetPreviewLines(buffer_))
        preview_->addItem(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
}

void CModelWizardDlg::accept() {
    state_.modelType = SelectedModel();
    if (state_.modelType != kModelUsa) state_.countryIndex = country_->currentIndex();
    BuildModelDocument(buffer_, state_.modelType, state_.countryIndex);
    QDialog::accept();
}

}  // namespace orven::ui
