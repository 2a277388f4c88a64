#include "model/RadioImage.h"

namespace orven {

RadioImage WriteImage{};
RadioImage ReadImage{};

}  // namespace orven
