// The program's icon: the picture the desktop entry installs, built into the program.
#pragma once

#include <QIcon>

namespace orven::ui {

inline constexpr const char* kProgramIconResource = ":/orven-clone.svg";

// Drawn at any size from the vector picture; null where the toolkit cannot read vector pictures.
QIcon ProgramIcon();

}  // namespace orven::ui
