#include "ui/CAboutDlg.h"

#include "GlobalDef.h"
#include "ui/DialogButtons.h"
#include "ui/ResourceIds.h"
#include "ui/WidgetIds.h"

#include <QFont>
#include <QLabel>
#include <QVBoxLayout>

namespace orven::ui {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    WithId(this, ids::kAboutDialog);
    setModal(true);
    setWindowTitle(QStringLiteral("About Dialog ") + QLatin1String(ids::kStrVersion));

    auto* product = WithId(new QLabel(QLatin1String(kProgramTitle), this), ids::about::kProductLine);
    QFont bold = product->font();
    bold.setBold(true);
    product->setFont(bold);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(product);
    layout->addWidget(new QLabel(QStringLiteral("Version 1.15"), this));
    layout->addWidget(new QLabel(QStringLiteral("Clone tool for the ORVEN marine VHF radio"), this));
    layout->addWidget(new QLabel(QStringLiteral("Built ") + QLatin1String(__DATE__), this));
    layout->addSpacing(layout->spacing() * 2);
    layout->addLayout(MakeButtonRow(*this, ButtonRow::OkOnly));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace orven::ui
