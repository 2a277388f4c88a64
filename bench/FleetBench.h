// The fleet figures of orven-bench: k simulated radios on k pseudo-terminals, paced like a line,
// programmed in one run; the time against one radio's, the program's CPU per radio, its memory.
#pragma once

#include <cstdint>
#include <string>

namespace orven::bench {

// Runs a fleet of each size in `sizes` ("1,2,4,8") at `baud`, fast or product timing; prints a
// line each, and a Markdown table to `markdown` when given. 0 when every radio was programmed.
int FleetBench(const std::string& sizes, std::uint32_t baud, bool fast, const std::string& markdown);

}  // namespace orven::bench
