// The button row the program's dialogs end with: OK (the default button) and, where the dialog
// can be left without effect, Cancel. Both carry their resource numbers.
#pragma once

class QDialog;
class QLayout;

namespace orven::ui {

enum class ButtonRow { OkOnly, OkCancel };

// A right-aligned row whose OK calls the dialog's accept() and whose Cancel calls reject(), so a
// dialog that checks its input does so by overriding accept().
QLayout* MakeButtonRow(QDialog& dialog, ButtonRow buttons);

}  // namespace orven::ui
