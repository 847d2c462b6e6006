#include "reg_file.h"

#include "registry_path.h"

#include <cstdint>
#include <optional>

namespace quelvo {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00\r\n";

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

// A line break inside a quoted string would end the line and let the rest be read as entries of its own; such
// text goes out as the raw REG_SZ bytes instead.
bool NeedsHex(std::string_view text) {
    for (unsigned char c : text)
        if (c < 0x20) return true;
    return false;
}

std::string HexBytes(std::string hex, std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    hex.reserve(hex.size() + 3 * bytes.size()); // a value may take a megabyte or more
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (i > 0) hex += ',';
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}

std::string HexString(std::string_view utf8) {
    std::string bytes = Utf16Le(utf8);
    bytes.append(2, '\0');
    return HexBytes("hex(1):", bytes);
}

std::string ValueLine(const RegFileEntry &entry, const RegistryPath &path) {
    std::string line = path.valueName.empty() ? "@" : Quoted(path.valueName);
    line += '=';
    if (entry.kind == RegFileEntry::Kind::Delete) return line + "-";
    if (entry.kind == RegFileEntry::Kind::Raw) return line + RawValueData(entry.type, entry.value);
    return line + (NeedsHex(entry.value) ? HexString(entry.value) : Quoted(entry.value));
}

// One code point of well-formed UTF-8, or nullopt for a byte that starts none. An overlong form would let a line
// break or a NUL pass the checks made on the bytes and reach the file decoded; a surrogate is no character at all.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t &at) {
    const auto lead = static_cast<unsigned char>(text[at++]);
    const int extra = lead < 0x80 ? 0 : lead >= 0xF8 ? -1 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0) return std::nullopt;
    char32_t point = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i, ++at) {
        if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) return std::nullopt;
        point = (point << 6) | (static_cast<unsigned char>(text[at]) & 0x3F);
    }
    static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (point < kLeast[extra] || point > 0x10FFFF || (point >= 0xD800 && point < 0xE000)) return std::nullopt;
    return point;
}

void AppendUnit(std::string &out, std::uint32_t unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
}

} // namespace

std::string Utf16LeWithBom(std::string_view utf8) {
    std::string out = "\xFF\xFE";
    out.reserve(2 + 2 * utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t point = NextCodePoint(utf8, at).value_or(U'\uFFFD');
        if (point < 0x10000) {
            AppendUnit(out, point);
        } else {
            AppendUnit(out, 0xD800 + ((point - 0x10000) >> 10));
            AppendUnit(out, 0xDC00 + ((point - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::string Utf16Le(std::string_view utf8) {
    return Utf16LeWithBom(utf8).substr(2);
}

std::string Utf8FromUtf16Le(std::string_view bytes, bool *exact) {
    if (exact) *exact = bytes.size() % 2 == 0;
    std::string out;
    const auto unit = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    };
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        char32_t point = unit(i);
        if (point >= 0xD800 && point < 0xDC00 && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) < 0xE000)
            point = 0x10000 + ((point - 0xD800) << 10) + (unit(++i) - 0xDC00);
        else if (point >= 0xD800 && point < 0xE000) {
            point = 0xFFFD;
            if (exact) *exact = false;
        }
        if (point < 0x80) {
            out += static_cast<char>(point);
        } else if (point < 0x800) {
            out += static_cast<char>(0xC0 | point >> 6);
            out += static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            out += static_cast<char>(0xE0 | point >> 12);
            out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | point >> 18);
            out += static_cast<char>(0x80 | (point >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    if (bytes.size() % 2) out += "\xEF\xBF\xBD";
    return out;
}

std::string RawValueData(std::uint32_t type, std::string_view bytes) {
    if (type == 1 && bytes.size() >= 2 && bytes.ends_with(std::string_view("\0\0", 2))) {
        bool exact = false;
        const std::string text = Utf8FromUtf16Le(bytes.substr(0, bytes.size() - 2), &exact);
        // A quoted string comes back as its text plus one terminator: only then is it the same bytes.
        if (exact && text.find('\0') == std::string::npos && !NeedsHex(text)) return Quoted(text);
    }
    if (type == 4 && bytes.size() == 4) {
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string dword = "dword:";
        for (int i = 3; i >= 0; --i) {
            dword += kDigits[static_cast<unsigned char>(bytes[i]) >> 4];
            dword += kDigits[static_cast<unsigned char>(bytes[i]) & 15];
        }
        return dword;
    }
    if (type == 3) return HexBytes("hex:", bytes);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string prefix = "hex(";
    std::string digits;
    for (std::uint32_t rest = type; digits.empty() || rest; rest >>= 4)
        digits.insert(digits.begin(), kDigits[rest & 15]);
    return HexBytes(prefix + digits + "):", bytes);
}

std::string RegFileText(const std::vector<RegFileEntry> &entries) {
    std::string text(kHeader);
    std::string section;
    for (const RegFileEntry &entry : entries) {
        if (entry.kind == RegFileEntry::Kind::Note) {
            text += "; " + entry.value + "\r\n";
            section.clear();
            continue;
        }
        if (entry.kind == RegFileEntry::Kind::Comment) {
            text += "\r\n; " + entry.path + ": " + entry.value + "\r\n";
            section.clear();
            continue;
        }
        const std::optional<RegistryPath> path = ParseRegistryPath(entry.path);
        if (!path) continue;
        const std::string key = std::string(RegistryRootName(path->root)) + "\\" + path->key;
        if (key != section) text += "\r\n[" + key + "]\r\n";
        section = key;
        text += ValueLine(entry, *path) + "\r\n";
    }
    return text + "\r\n";
}

std::string RegFileBytes(const std::vector<RegFileEntry> &entries) {
    return Utf16LeWithBom(RegFileText(entries));
}

} // namespace quelvo
