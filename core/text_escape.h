#pragma once
// Registry text is anyone's to write: printed as it is, an escape sequence could colour the terminal, move the
// cursor or fake a line, and a bidirectional control could make a path read backwards.

#include <string>
#include <string_view>

namespace quelvo {

// UTF-8 with C0 controls and DEL as \xNN, C1 controls, the line and paragraph separators (U+2028, U+2029, which
// some terminals and editors break a line at) and the bidirectional marks, embeddings, overrides and isolates
// (U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069) as \u{NNNN}, and each byte that is not UTF-8 as \xNN.
// Everything else, backslashes included, is left as it is.
std::string EscapeControls(std::string_view utf8);

} // namespace quelvo
