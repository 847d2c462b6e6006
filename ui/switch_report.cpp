#include "switch_report.h"

#include "core/switch_text.h"
#include "platform/system_text_win.h"
#include "platform/text_win.h"

namespace quelvo {

std::wstring FailedSwitchMessage(const ViewerRecord &viewer, const SwitchOutcome &outcome) {
    return L"Le viewer « " + Widen(viewer.displayName) + L" » n'a pas pu être choisi.\n\n" + FailureDetails(outcome);
}

std::wstring FailureDetails(const SwitchOutcome &outcome) {
    std::wstring message = L"Cette clé du registre n'a pas pu être écrite :\n" + Widen(outcome.failedPath) + L"\n\n";
    message +=
        L"Windows indique : " + SystemText(outcome.error) + L" (erreur " + std::to_wstring(outcome.error) + L")\n\n";
    message += Widen(WhatStaysText(outcome.writesDone));
    return message;
}

std::wstring LockRefusedMessage(const ViewerRecord &viewer, const LockResult &lock, std::uint32_t waitSeconds) {
    std::wstring message = L"Le viewer « " + Widen(viewer.displayName) + L" » n'a pas été choisi.\n\n";
    if (lock.state == LockState::Busy)
        return message + L"Un autre changement de viewer est en cours sur ce PC (un autre Quelvo ou quelvo-cli.exe, "
                         L"attendu " + std::to_wstring(waitSeconds) + L" s) ; rien n'a été écrit. Réessayez dans un "
                         L"moment.";
    message += Widen(LockText(lock, waitSeconds));
    if (lock.state == LockState::Unavailable)
        message += L"\n\nWindows indique : " + SystemText(lock.error) + L" (erreur " + std::to_wstring(lock.error) + L")";
    return message;
}

void ReportFailedSwitch(HWND owner, const ViewerRecord &viewer, const SwitchOutcome &outcome) {
    MessageBoxW(owner, FailedSwitchMessage(viewer, outcome).c_str(), L"Quelvo", MB_OK | MB_ICONERROR);
}

} // namespace quelvo
