#include "hiding_report.h"

#include "platform/text_win.h"
#include "resource.h"
#include "texts.h"

namespace quelvo {
namespace {

std::wstring Quoted(std::string_view text) {
    return FormatText(IDS_QUOTED, {Widen(text)});
}

std::wstring Extensions(const UserHiders &hiders) {
    std::wstring list;
    for (const UserHiders::OpenWith &choice : hiders.openWith)
        list += (list.empty() ? L"" : L", ") + Widen(choice.extension);
    return list;
}

} // namespace

Choice HidingChoice(const ViewerRecord &viewer, const UserHiders &hiders, DefaultsPage page) {
    const std::wstring name = Quoted(viewer.displayName);
    Choice choice;
    choice.warning = true;
    choice.instruction = FormatText(IDS_HIDING_INSTRUCTION, {name});
    choice.content = FormatText(IDS_HIDING_CONTENT, {name});
    for (const std::string &key : hiders.userKeys)
        choice.content += FormatText(IDS_HIDING_USER_KEY, {Widen(key)});
    for (const UserHiders::OpenWith &openWith : hiders.openWith)
        choice.content += FormatText(IDS_HIDING_OPEN_WITH, {Widen(openWith.extension), Widen(openWith.progId)});
    if (!hiders.userKeys.empty()) {
        choice.content += FormatText(IDS_HIDING_KEYS_WIN, {name});
        choice.buttons.push_back({kChoiceForMeToo, LoadText(IDS_FOR_ME_TOO)});
    }
    if (hiders.openWith.empty()) return choice;
    const std::wstring extensions = Extensions(hiders);
    const std::wstring entry = Quoted(viewer.extensionProgId);
    switch (page) {
    case DefaultsPage::DefaultApps:
        choice.content += FormatText(IDS_HIDING_DEFAULT_APPS, {extensions, name, entry});
        choice.buttons.push_back({kChoiceOpenDefaults, LoadText(IDS_OPEN_DEFAULT_APPS)});
        break;
    case DefaultsPage::DefaultPrograms:
        choice.content += FormatText(IDS_HIDING_DEFAULT_PROGRAMS, {extensions, name, entry});
        choice.buttons.push_back({kChoiceOpenDefaults, LoadText(IDS_OPEN_DEFAULT_PROGRAMS)});
        break;
    case DefaultsPage::None:
        choice.content += FormatText(IDS_HIDING_CLEAR, {extensions});
        choice.buttons.push_back({kChoiceClearOpenWith, LoadText(IDS_CLEAR_CHOICE)});
        break;
    }
    return choice;
}

std::wstring DefaultsPageFailedMessage(DefaultsPage page, DWORD error) {
    const UINT pageName = page == DefaultsPage::DefaultApps ? IDS_DEFAULT_APPS : IDS_DEFAULT_PROGRAMS;
    return FormatText(IDS_DEFAULTS_PAGE_FAILED, {LoadText(pageName), WindowsSays(error)});
}

std::wstring ClearChoiceFailedMessage(std::string_view extension, DWORD error) {
    return FormatText(IDS_CLEAR_CHOICE_FAILED, {Widen(extension), WindowsSays(error)});
}

} // namespace quelvo
