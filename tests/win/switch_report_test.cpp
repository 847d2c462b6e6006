#include "core/messages.h"
#include "platform/text_win.h"
#include "ui/switch_report.h"

#include <gtest/gtest.h>

namespace quelvo::test {
namespace {

constexpr char kFailedPath[] = "HKEY_CLASSES_ROOT\\.x3dz\\";

std::wstring MessageFor(std::size_t writesDone, RegistryError error) {
    return FailedSwitchMessage(Viewers()[0], SwitchOutcome{writesDone, kFailedPath, error});
}

bool Contains(const std::wstring &text, const std::wstring &part) {
    return text.find(part) != std::wstring::npos;
}

// What the message quotes of the system between "Windows indique : " and " (erreur N)".
std::wstring QuotedSystemText(const std::wstring &message, RegistryError error) {
    const std::wstring before = L"Windows indique : ", after = L" (erreur " + std::to_wstring(error) + L")";
    const std::size_t start = message.find(before), end = message.find(after);
    if (start == std::wstring::npos || end == std::wstring::npos || end < start) return L"(not quoted)";
    return message.substr(start + before.size(), end - start - before.size());
}

TEST(FailedSwitchMessage, NamesTheViewerTheKeyAndWhatWindowsSaysAndNeverAdvisesRunningAsAdministrator) {
    struct Case {
        RegistryError error;
        bool systemKnowsIt;
    };
    for (const Case &c : {Case{kRegistryAccessDenied, true}, Case{kRegistryFileNotFound, true},
                          Case{0x2000ABCDu, false}}) {
        SCOPED_TRACE(c.error);
        const std::wstring message = MessageFor(3, c.error);
        EXPECT_TRUE(message.starts_with(L"Le viewer « Cortona » n'a pas pu être choisi.\n\n"));
        EXPECT_TRUE(Contains(message, L"Cette clé du registre n'a pas pu être écrite :\nHKEY_CLASSES_ROOT\\.x3dz\\\n"));
        const std::wstring quoted = QuotedSystemText(message, c.error);
        if (c.systemKnowsIt) {
            EXPECT_FALSE(quoted.empty());
            EXPECT_NE(quoted, L"erreur inconnue");
            EXPECT_NE(quoted.back(), L'\n') << "the system's line break is trimmed";
        } else {
            EXPECT_EQ(quoted, L"erreur inconnue");
        }
        EXPECT_TRUE(message.ends_with(Widen(WhatStaysText(3)))) << "the count's own sentence closes it";
        // What can be done next depends on the token and the policy: the window's offer says it.
        EXPECT_FALSE(Contains(message, L"administrateur"));
    }
}

} // namespace
} // namespace quelvo::test
