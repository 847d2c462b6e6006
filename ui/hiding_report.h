#pragma once
// What the window says after a machine switch when this user's own keys hide the values just written, and what
// it offers about them.

#include "choice_dialog.h"
#include "core/viewer_catalogue.h"
#include "platform/user_defaults_win.h"

#include <string>
#include <vector>

namespace quelvo {

// This user's own settings that win over the machine's values, as the check of what hides finds them.
struct UserHiders {
    std::vector<std::string> userKeys; // HKEY_CURRENT_USER\Software\Classes\... keys: extensions, content types
    struct OpenWith {
        std::string extension;
        std::string progId;
    };
    std::vector<OpenWith> openWith; // "Ouvrir avec" choices
    bool Empty() const { return userKeys.empty() && openWith.empty(); }
};

inline constexpr int kChoiceForMeToo = 111;
inline constexpr int kChoiceOpenDefaults = 112;
inline constexpr int kChoiceClearOpenWith = 113;

Choice HidingChoice(const ViewerRecord &viewer, const UserHiders &hiders, DefaultsPage page);
std::wstring DefaultsPageFailedMessage(DefaultsPage page, DWORD error);
std::wstring ClearChoiceFailedMessage(std::string_view extension, DWORD error);

} // namespace quelvo
