#include "ui/CAboutDlg.h"

#include "GlobalDef.h"
#include "ui/DialogButtons.h"
#include "ui/ResourceIds.h"
#include "ui/WidgetIds.h"

#include <QDate>
#include <QFont>
#include <QLocale>
#include <QLabel>
#include <QVBoxLayout>

namespace orven::ui {

namespace {
// The compiler's date ("Dec  6 2026") as the program writes dates elsewhere (2026-12-06).
QString BuildDate() {
    const QString compiled = QString::fromLatin1(__DATE__).simplified();
    const QDate date = QLocale::c().toDate(compiled, QStringLiteral("MMM d yyyy"));
    return date.isValid() ? date.toString(Qt::ISODate) : compiled;
}
}  // namespace

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
    layout->addWidget(new QLabel(QStringLiteral("Version ") + QLatin1String(kPackageVersion), this));
    layout->addWidget(new QLabel(QStringLiteral("Clone tool for the ORVEN marine VHF radio"), this));
    layout->addWidget(new QLabel(QStringLiteral("Built ") + BuildDate(), this));
    layout->addSpacing(layout->spacing() * 2);
    layout->addLayout(MakeButtonRow(*this, ButtonRow::OkOnly));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace orven::ui
