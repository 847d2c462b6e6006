#pragma once
// Registry files as regedit writes them, which both "reg import" and a double-click in Explorer apply.

#include <string>
#include <vector>

namespace quelvo {

struct RegFileEntry {
    enum class Kind { Set, Delete, Comment };
    Kind kind = Kind::Set;
    std::string path;  // full path as the core spells it; a trailing backslash names the default value
    std::string value; // the text to set (Set), or what the comment says (Comment)
};

// UTF-8 with CRLF line ends; entries in a row that share a key share its [section].
std::string RegFileText(const std::vector<RegFileEntry> &entries);
// What goes into the file: the same text as UTF-16LE after a byte-order mark.
std::string RegFileBytes(const std::vector<RegFileEntry> &entries);
std::string Utf16LeWithBom(std::string_view utf8);

} // namespace quelvo
