#include "ui/GuiThreadPost.h"

namespace orven::ui {

std::mutex& GuiHandOffMutex() {
    static std::mutex handOff;
    return handOff;
}

}  // namespace orven::ui
