#include "messages.h"

#include <array>
#include <string_view>

namespace quelvo::cli {

std::string NumberInWords(std::size_t count) {
    constexpr std::array<std::string_view, 13> kWords = {"zéro", "un",   "deux", "trois", "quatre", "cinq", "six",
                                                         "sept", "huit", "neuf", "dix",   "onze",   "douze"};
    return count < kWords.size() ? std::string(kWords[count]) : std::to_string(count);
}

} // namespace quelvo::cli
