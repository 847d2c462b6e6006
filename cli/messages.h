#pragma once
// The command line's French texts, composed from what each verb found; printing them is the verbs' job. Portable:
// the system's own words for an error come in as text.

#include <cstddef>
#include <string>

namespace quelvo::cli {

// A count as the usage text writes it: "sept"; past twelve, in digits.
std::string NumberInWords(std::size_t count);

} // namespace quelvo::cli
