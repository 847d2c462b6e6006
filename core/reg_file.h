#pragma once
// Registry files as regedit writes them, which both "reg import" and a double-click in Explorer apply.

#include <cstdint>
#include <string>
#include <vector>

namespace quelvo {

struct RegFileEntry {
    // Raw: a value of any type with its exact bytes. Note: a comment line of its own, "; " + value.
    enum class Kind { Set, Delete, Comment, Raw, Note };
    Kind kind = Kind::Set;
    std::string path;  // full path as the core spells it; a trailing backslash names the default value
    std::string value; // the text to set (Set), what the comment says (Comment, Note), the bytes (Raw)
    std::uint32_t type = 1; // Raw: REG_SZ, REG_DWORD...
};

// UTF-8 with CRLF line ends; entries in a row that share a key share its [section].
std::string RegFileText(const std::vector<RegFileEntry> &entries);
// What goes into the file: the same text as UTF-16LE after a byte-order mark.
std::string RegFileBytes(const std::vector<RegFileEntry> &entries);
// Bytes that are not well-formed UTF-8 (stray, overlong, surrogate, past U+10FFFF) become U+FFFD each.
std::string Utf16LeWithBom(std::string_view utf8);
std::string Utf16Le(std::string_view utf8);
// UTF-16LE bytes as UTF-8, NULs kept; a lone surrogate or an odd last byte becomes U+FFFD and clears *exact.
std::string Utf8FromUtf16Le(std::string_view bytes, bool *exact = nullptr);
// What follows "name=" in a file for a raw value: "text" where REG_SZ text carries the bytes exactly, dword:, else
// hex: / hex(N): with every byte.
std::string RawValueData(std::uint32_t type, std::string_view bytes);

} // namespace quelvo
