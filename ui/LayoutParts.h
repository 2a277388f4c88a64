// Building parts the main window's groups share: group layouts a little tighter than the style's
// default, so the whole window fits its size, and drop-downs whose width does not follow their
// entries once the window is on screen.
#pragma once

#include <QStringList>

class QComboBox;
class QWidget;

namespace orven::ui {

inline constexpr int kGroupSpacing = 4;

// Sets the margins and spacing of a group's layout; returns it.
template <class Layout>
Layout* Tight(Layout* layout) {
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(kGroupSpacing);
    return layout;
}

// A drop-down sized to its entries when the window first shows. Following its entries at every
// change instead would have the combo resize itself to its hint some time after a fill, outside
// the layout that had stretched it to its column.
QComboBox* DropDown(int id, QWidget* parent);

// A drop-down whose entries change keeps the width its widest possible entry needs, so neither it
// nor its neighbours move when it is filled again.
QComboBox* SteadyDropDown(int id, const QStringList& widestEntries, QWidget* parent);

}  // namespace orven::ui
