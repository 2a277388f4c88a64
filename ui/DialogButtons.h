// The button row the program's dialogs end with: OK (the default button) and, where the dialog
// can be left without effect, Cancel. Both carry their resource numbers.
#pragma once

#include <initializer_list>

class QDialog;
class QLayout;
class QPushButton;
class QWidget;

namespace orven::ui {

enum class ButtonRow { OkOnly, OkCancel };

// A right-aligned row whose OK calls the dialog's accept() and whose Cancel calls reject(), so a
// dialog that checks its input does so by overriding accept().
QLayout* MakeButtonRow(QDialog& dialog, ButtonRow buttons);

// A button with its resource number that Enter never presses: the tool dialogs' actions.
QPushButton* MakeButton(const char* text, int id, QWidget* parent);

// The row a tool dialog ends with: its actions on the left, the button that leaves it on the right.
QLayout* MakeActionRow(std::initializer_list<QPushButton*> actions, QPushButton* leave);

}  // namespace orven::ui
