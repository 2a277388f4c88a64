#include "ui/CFeatureSetupDlg.h"

#include "model/LineFormat.h"
#include "model/SettingsRules.h"
#include "ui/DialogButtons.h"
#include "model/DocumentFields.h"
#include "ui/PrintableTextGuard.h"
#include "ui/ResourceIds.h"
#include "ui/WidgetIds.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <string_view>

namespace orven::ui {

namespace {

// Room for a long name with its cursor.
constexpr int kNameEditColumns = 20;

// A name field of the settings in an edit. Typing is limited to kNameTextLimit characters;
// a longer name that came with a settings file is shown whole, so OK does not cut it.
template <std::size_t N>
QLineEdit* NameEdit(QWidget* parent, int id, const char (&field)[N]) {
    auto* edit = WithId(new QLineEdit(parent), id);
    const std::string_view text = FixedSlotText(field);
    const auto length = static_cast<qsizetype>(text.size());
    edit->setMaxLength(static_cast<int>(std::max<qsizetype>(static_cast<qsizetype>(kNameTextLimit), length)));
    edit->setText(QString::fromLatin1(text.data(), length));
    edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * kNameEditColumns);
    return edit;
}

template <std::size_t N>
void StoreName(char (&field)[N], const QLineEdit* edit) {
    CopyText(field, edit->text().toLatin1().constData());
}

}  // namespace

CFeatureSetupDlg::CFeatureSetupDlg(AppState& state, RadioSettings& settings, QWidget* parent)
    : QDialog(parent), state_(state), settings_(settings) {
    WithId(this, ids::kFeatureSetupDialog);
    setModal(true);
    setWindowTitle(QStringLiteral("Feature Setup Dialog"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeNamesGroup());
    layout->addWidget(MakeFeatureGroup());
    layout->addLayout(MakeButtonRow(*this, ButtonRow::OkCancel));
}

QWidget* CFeatureSetupDlg::MakeNamesGroup() {
    auto* group = new QGroupBox(QStringLiteral("Names"), this);
    brand_ = NameEdit(group, ids::feature::kBrandEdit, settings_.brandName);
    model_ = NameEdit(group, ids::feature::kModelEdit, settings_.modelName);
    new PrintableTextGuard(brand_, QString::fromLatin1(kBrandFieldName));
    new PrintableTextGuard(model_, QString::fromLatin1(kModelNameFieldName));
    brand_->setEnabled(state_.uiReadOnly == 0);
    model_->setEnabled(state_.uiReadOnly == 0);
    auto* layout = new QFormLayout(group);
    layout->addRow(QStringLiteral("Brand Name:"), brand_);
    layout->addRow(QStringLiteral("Model Name:"), model_);
    return group;
}

// The two feature switches are offered but not kept in the settings.
QWidget* CFeatureSetupDlg::MakeFeatureGroup() {
    auto* group = new QGroupBox(QStringLiteral("Feature"), this);
    auto* gps = WithId(new QCheckBox(QStringLiteral("GPS Alert"), group), ids::feature::kGpsAlert);
    auto* wx = WithId(new QCheckBox(QStringLiteral("Enale WX Alert Check."), group), ids::feature::kWxAlert);
    gps->setEnabled(state_.uiReadOnly == 0);
    wx->setEnabled(state_.uiReadOnly == 0);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(gps);
    layout->addWidget(wx);
    return group;
}

void CFeatureSetupDlg::accept() {
    StoreName(settings_.brandName, brand_);
    StoreName(settings_.modelName, model_);
    QDialog::accept();
}

}  // namespace orven::ui
