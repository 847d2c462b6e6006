#include "text_escape.h"

#include <cstdio>
#include <optional>

namespace quelvo {
namespace {

bool Escaped(char32_t point) {
    return point < 0x20 || (point >= 0x7F && point <= 0x9F) || point == 0x200E || point == 0x200F || point == 0x2028 ||
           point == 0x2029 || (point >= 0x202A && point <= 0x202E) || (point >= 0x2066 && point <= 0x2069);
}

// The code point at text[at] and its length in bytes; nullopt for a byte that starts no well-formed sequence
// (overlong forms and surrogates included).
std::optional<std::pair<char32_t, std::size_t>> Decode(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) return std::pair<char32_t, std::size_t>{lead, 1};
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > text.size()) return std::nullopt;
    char32_t point = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        point = (point << 6) | (next & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < least[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return std::nullopt;
    return std::pair<char32_t, std::size_t>{point, length};
}

} // namespace

std::string EscapeControls(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    char buffer[16];
    for (std::size_t at = 0; at < utf8.size();) {
        const auto decoded = Decode(utf8, at);
        if (!decoded) {
            std::snprintf(buffer, sizeof buffer, "\\x%02X", static_cast<unsigned char>(utf8[at]));
            out += buffer;
            ++at;
            continue;
        }
        const auto [point, length] = *decoded;
        if (!Escaped(point)) out.append(utf8.substr(at, length));
        else {
            std::snprintf(buffer, sizeof buffer, point < 0x80 ? "\\x%02X" : "\\u{%04X}", static_cast<unsigned>(point));
            out += buffer;
        }
        at += length;
    }
    return out;
}

} // namespace quelvo
