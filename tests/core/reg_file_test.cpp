#include "core/backup.h"
#include "core/viewer_name.h"

#include "fakes/registry_fake.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

using Kind = RegFileEntry::Kind;

TEST(ViewerName, IgnoresCaseBlanksAndHyphensAndNothingElse) {
    const std::vector<std::pair<std::string, std::string_view>> accepted = {
        {"octaga", "Octaga"},         {"bs-contact", "BS Contact"}, {"BS Contact", "BS Contact"},
        {"bscontact", "BS Contact"},  {"cosmoplayer", "CosmoPlayer"}, {"Cosmo-Player", "CosmoPlayer"},
        {" FLUX ", "Flux"},           {"c-o-r-t-o-n-a", "Cortona"}};
    for (const auto &[typed, name] : accepted) {
        const ViewerRecord *viewer = FindViewerByName(typed);
        ASSERT_NE(viewer, nullptr) << typed;
        EXPECT_EQ(viewer->displayName, name) << typed;
    }
    for (std::string typed : {"", " - ", "bs", "cosmo", "octaga2", "bs_contact", "Octaga.Octaga.wrl"})
        EXPECT_EQ(FindViewerByName(typed), nullptr) << typed;
}

TEST(RegFile, WritesRegeditTextWithSectionsEscapesAndDeletions) {
    const std::string text = RegFileText({
        {Kind::Set, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\MIME\\Database\\Content Type\\model/vrml\\CLSID", "{A}"},
        {Kind::Set, "HKEY_CLASSES_ROOT\\.wrl\\", "C:\\Dir\\\"q\".exe"},
        {Kind::Delete, "HKEY_CLASSES_ROOT\\.wrl\\Extra", ""},
        {Kind::Delete, "HKEY_CURRENT_USER\\Software\\Classes\\.x3d\\", ""},
        {Kind::Comment, "HKEY_CLASSES_ROOT\\.wrz\\", "not saved"},
    });
    EXPECT_EQ(text, "Windows Registry Editor Version 5.00\r\n"
                    "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\MIME\\Database\\Content Type\\model/vrml]\r\n"
                    "\"CLSID\"=\"{A}\"\r\n"
                    "\r\n[HKEY_CLASSES_ROOT\\.wrl]\r\n"
                    "@=\"C:\\\\Dir\\\\\\\"q\\\".exe\"\r\n"
                    "\"Extra\"=-\r\n"
                    "\r\n[HKEY_CURRENT_USER\\Software\\Classes\\.x3d]\r\n"
                    "@=-\r\n"
                    "\r\n; HKEY_CLASSES_ROOT\\.wrz\\: not saved\r\n"
                    "\r\n");
}

TEST(RegFile, EncodesUtf16LittleEndianAfterAByteOrderMarkAndKeepsLineBreaksInsideValues) {
    const std::string bytes = RegFileBytes({{Kind::Set, "HKEY_CLASSES_ROOT\\.wrl\\", "é\xF0\x9F\x98\x80"}});
    ASSERT_EQ(bytes.substr(0, 4), std::string("\xFF\xFEW\0", 4));
    EXPECT_NE(bytes.find(std::string("@\0=\0\"\0\xE9\0\x3D\xD8\x00\xDE\"\0\r\0\n\0", 18)), std::string::npos);
    EXPECT_EQ(bytes.size() % 2, 0u);

    // A line break in a value would otherwise start a line of its own that reg import reads as an entry.
    const std::string text = RegFileText({{Kind::Set, "HKEY_CLASSES_ROOT\\.wrl\\", "a\r\n[HKEY_X]"}});
    EXPECT_NE(text.find("@=hex(1):61,00,0d,00,0a,00,5b,00,48,00,4b,00,45,00,59,00,5f,00,58,00,5d,00,00,00\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find("[HKEY_X]"), std::string::npos);
}

TEST(RegFile, TextThatIsNotUtf8BecomesReplacementCharactersAndNeverALineBreakOrANul) {
    const std::string fffd("\xFD\xFF", 2);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a\xC0\x8D\xC0\x8A[", std::string("a\0", 2) + fffd + fffd + std::string("[\0", 2)}, // overlong CR LF
        {"\xE0\x80\x80", fffd},                                                           // overlong NUL
        {"\xF8\x80\x80\x80", fffd + fffd + fffd + fffd},                                  // no such lead byte
        {"\xED\xA0\x80", fffd},                                                           // a surrogate
        {"\xF4\x90\x80\x80", fffd},                                                      // past U+10FFFF
        {"\xE2\x82z", fffd + std::string("z\0", 2)},                                      // cut short
        {"\x80\xC3\xA9", fffd + std::string("\xE9\0", 2)},                               // stray, then é
    };
    for (const auto &[utf8, utf16] : cases) {
        SCOPED_TRACE(::testing::PrintToString(utf8));
        EXPECT_EQ(Utf16Le(utf8), utf16);
    }
    const std::string bytes = RegFileBytes({{Kind::Set, "HKEY_CLASSES_ROOT\\.wrl\\", "a\xC0\x8D\xC0\x8A[HKEY_X]"}});
    EXPECT_EQ(bytes.find(Utf16Le("\r\n[HKEY_X]")), std::string::npos) << "no line of its own";
}

} // namespace
} // namespace quelvo
