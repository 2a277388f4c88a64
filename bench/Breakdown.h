// Where the time of one serial exchange goes, against the line limit of its echo and reply (64
// byte times): the ideal client's exchange (the bare line: when the reply's last byte reaches
// the PC), the engine's exchange inside a fast read (between two steps of its progress), and a
// lone identify exchange through the engine (which must wait out the quiet gap itself).
#pragma once

#include <string>

namespace orven::bench {

// Prints one table row per baud rate; false when a link could not be measured.
bool PrintBreakdown(const std::string& links, int exchanges);

}  // namespace orven::bench
