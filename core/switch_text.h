#pragma once
// French sentences about a switch's outcome that the window and the command line both say.

#include <cstddef>
#include <string>

namespace quelvo {

// What stays written after a switch that stopped at a refused write; singular and plural agree with the count.
std::string WhatStaysText(std::size_t writesDone);

} // namespace quelvo
