#include "ui/ProgramIcon.h"

#include <QString>

// The resource lives in a static library, where nothing would pull it into the program unless it
// is registered by name; the registration must stand outside any namespace.
static void RegisterProgramIconResource() { Q_INIT_RESOURCE(ProgramIcon); }

namespace orven::ui {

QIcon ProgramIcon() {
    static const bool registered = (RegisterProgramIconResource(), true);
    (void)registered;
    return QIcon(QString::fromLatin1(kProgramIconResource));
}

}  // namespace orven::ui
