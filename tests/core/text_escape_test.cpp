#include "core/text_escape.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

TEST(EscapeControls, LeavesTextAndEscapesEveryControlThatCouldFakeWhatIsShown) {
    EXPECT_EQ(EscapeControls("HKEY_CLASSES_ROOT\\.wrl\\ = Öffnen \xE4\xB8\x96 \xF0\x9F\x98\x80"),
              "HKEY_CLASSES_ROOT\\.wrl\\ = Öffnen \xE4\xB8\x96 \xF0\x9F\x98\x80");
    EXPECT_EQ(EscapeControls(std::string("a\x1B[31mred\r\nok\x7F\t", 15) + std::string(1, '\0')),
              "a\\x1B[31mred\\x0D\\x0Aok\\x7F\\x09\\x00");
    // C1 (U+0085 next line, U+009B the one-byte CSI) and each bidirectional control, first and last of each range.
    EXPECT_EQ(EscapeControls("\xC2\x85\xC2\x9B\xC2\xA0"), "\\u{0085}\\u{009B}\xC2\xA0");
    EXPECT_EQ(EscapeControls("\xE2\x80\x8D\xE2\x80\x8E\xE2\x80\x8F\xE2\x80\xAA\xE2\x80\xAE\xE2\x80\xAF"),
              "\xE2\x80\x8D\\u{200E}\\u{200F}\\u{202A}\\u{202E}\xE2\x80\xAF");
    // The line and paragraph separators, which some terminals and editors break a line at; their neighbours stay.
    EXPECT_EQ(EscapeControls("\xE2\x80\xA7\xE2\x80\xA8\xE2\x80\xA9\xE2\x80\xAA"),
              "\xE2\x80\xA7\\u{2028}\\u{2029}\\u{202A}");
    EXPECT_EQ(EscapeControls("\xE2\x81\xA5\xE2\x81\xA6\xE2\x81\xA9\xE2\x81\xAA"), "\xE2\x81\xA5\\u{2066}\\u{2069}\xE2\x81\xAA");
    // Bytes that are not UTF-8 cannot smuggle a control in by an overlong or cut sequence.
    EXPECT_EQ(EscapeControls("\xC0\x9B|\xE2\x80|\xFF|\xED\xA0\x80"), "\\xC0\\x9B|\\xE2\\x80|\\xFF|\\xED\\xA0\\x80");
}

} // namespace
} // namespace quelvo
