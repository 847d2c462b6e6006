#pragma once
// Reading for the chain's links: any value's type, its DWORD, and a note of what was read for the report.

#include "chain.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quelvo {

struct AnyValue {
    enum class Kind { Absent, Text, Dword, Other, Unreadable };
    Kind kind = Kind::Absent;
    std::string text; // Text
    bool expandable = false;
    std::uint32_t number = 0; // Dword
    std::uint32_t type = 0;
};

enum class View { Native, Bits32 };

AnyValue ReadAny(RegistryReader &registry, const std::string &path, View view = View::Native);
// A DWORD, or text holding a decimal number (the add-on list's values are text).
std::optional<std::uint32_t> NumberOf(const AnyValue &value);
// How the report shows a value.
std::string Shown(const AnyValue &value);
// Reads a value and notes it in the link's list; the 32-bit view's values are noted at their stored path.
AnyValue ReadNoted(Link &link, RegistryReader &registry, const std::string &path, View view = View::Native);

// A command line's or a registration's file: environment strings expanded for REG_EXPAND_SZ, quotes taken off.
std::string FileOf(const AnyValue &value, SystemFacts &system);
// Whether two texts are equal, ignoring ASCII case, as Windows compares paths and names.
bool SameNoCase(std::string_view a, std::string_view b);

} // namespace quelvo
