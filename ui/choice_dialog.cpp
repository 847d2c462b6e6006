#include "choice_dialog.h"

#include "platform/module_export_win.h"
#include "resource.h"
#include "texts.h"

#include <commctrl.h>

namespace quelvo {
namespace {

using TaskDialogIndirectFunction = HRESULT WINAPI(const TASKDIALOGCONFIG *, int *, int *, BOOL *);

int AskWithTaskDialog(TaskDialogIndirectFunction *taskDialog, HWND owner, const Choice &choice) {
    std::vector<TASKDIALOG_BUTTON> buttons;
    for (const ChoiceButton &button : choice.buttons)
        buttons.push_back({button.id, button.text.c_str()});
    // In French whatever the system's language, as the others are.
    const std::wstring cancel = LoadText(choice.buttons.empty() ? IDS_CLOSE : IDS_CANCEL);
    const std::wstring title = LoadText(IDS_QUELVO);
    buttons.push_back({IDCANCEL, cancel.c_str()});
    TASKDIALOGCONFIG config = {};
    config.cbSize = sizeof config;
    config.hwndParent = owner;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.pszWindowTitle = title.c_str();
    config.pszMainIcon = choice.warning ? TD_WARNING_ICON : TD_ERROR_ICON;
    config.pszMainInstruction = choice.instruction.c_str();
    config.pszContent = choice.content.c_str();
    config.cButtons = static_cast<UINT>(buttons.size());
    config.pButtons = buttons.data();
    config.nDefaultButton = buttons.front().nButtonID;
    int chosen = IDCANCEL;
    if (FAILED(taskDialog(&config, &chosen, nullptr, nullptr))) return -1;
    return chosen;
}

int AskWithMessageBox(HWND owner, const Choice &choice) {
    const UINT buttons = choice.buttons.empty() ? MB_OK : choice.buttons.size() == 1 ? MB_OKCANCEL : MB_YESNOCANCEL;
    const UINT icon = choice.warning ? MB_ICONWARNING : MB_ICONERROR;
    const int answer = MessageBoxW(owner, FallbackText(choice).c_str(), LoadText(IDS_QUELVO).c_str(), buttons | icon);
    if ((answer == IDOK || answer == IDYES) && !choice.buttons.empty()) return choice.buttons[0].id;
    if (answer == IDNO && choice.buttons.size() > 1) return choice.buttons[1].id;
    return IDCANCEL;
}

} // namespace

std::wstring FallbackText(const Choice &choice) {
    std::wstring text = choice.instruction + L"\n\n" + choice.content;
    // The message box's own buttons: OK alone, or Oui and Non.
    static constexpr UINT kLabels[][2] = {{IDS_OK, 0}, {IDS_YES, IDS_NO}};
    const auto &labels = kLabels[choice.buttons.size() > 1 ? 1 : 0];
    for (std::size_t i = 0; i < choice.buttons.size() && i < 2; ++i)
        text +=
            (i == 0 ? L"\n\n" : L"\n") + FormatText(IDS_FALLBACK_BUTTON, {LoadText(labels[i]), choice.buttons[i].text});
    return text;
}

int AskChoice(HWND owner, const Choice &choice) {
    // Present only in version 6 of the library, which the program's manifest asks for.
    if (auto *taskDialog = ModuleExport<TaskDialogIndirectFunction>(L"comctl32.dll", "TaskDialogIndirect")) {
        const int chosen = AskWithTaskDialog(taskDialog, owner, choice);
        if (chosen != -1) return chosen;
    }
    return AskWithMessageBox(owner, choice);
}

} // namespace quelvo
