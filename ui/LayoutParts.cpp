#include "ui/LayoutParts.h"

#include "ui/WidgetIds.h"

#include <QComboBox>

namespace orven::ui {

QComboBox* DropDown(int id, QWidget* parent) { return WithId(new QComboBox(parent), id); }

QComboBox* SteadyDropDown(int id, const QStringList& widestEntries, QWidget* parent) {
    QComboBox* combo = DropDown(id, parent);
    combo->addItems(widestEntries);
    combo->setMinimumWidth(combo->sizeHint().width());
    combo->clear();
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return combo;
}

}  // namespace orven::ui
