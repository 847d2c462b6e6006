#include "switch_report.h"

#include "core/switch_text.h"
#include "platform/system_text_win.h"
#include "platform/text_win.h"

namespace quelvo {

std::wstring FailedSwitchMessage(const ViewerRecord &viewer, const SwitchOutcome &outcome) {
    return Widen(FailedSwitchText(viewer, outcome, Narrow(SystemText(outcome.error)), TextLayout::Paragraphs));
}

std::wstring FailureDetails(const SwitchOutcome &outcome) {
    return Widen(FailureDetailsText(outcome, Narrow(SystemText(outcome.error)), TextLayout::Paragraphs));
}

std::wstring NoBackupQuestion(const ViewerRecord &viewer, const SwitchOutcome &outcome, const std::string &location) {
    std::wstring message = L"Le viewer « " + Widen(viewer.displayName) +
                           L" » n'a pas été choisi : les valeurs d'avant n'ont pas pu être sauvegardées, et rien n'a "
                           L"été écrit.\n\n";
    if (outcome.backup == BackupResult::Unreadable)
        message += L"Cette valeur n'a pas pu être lue :\n" + Widen(outcome.unreadablePath) + L"\n\n";
    else
        message += L"La sauvegarde n'a pas pu être écrite dans :\n" + Widen(location) + L"\n\n";
    message += L"Windows indique : " + SystemText(outcome.backupError) + L" (erreur " +
               std::to_wstring(outcome.backupError) + L")\n\n";
    return message + L"Sans sauvegarde, « quelvo-cli restore » ne pourra pas remettre les valeurs d'avant ce "
                     L"changement.\n\nChanger quand même, sans sauvegarde ?";
}

std::wstring MovedAsideMessage(const SwitchOutcome &outcome) {
    return L"Attention : " + Widen(outcome.movedAside) +
           L".\n\nCe qui s'y trouvait n'a été ni lu ni supprimé. Une nouvelle sauvegarde a été faite ; elle ne "
           L"contient que les valeurs d'avant ce changement.";
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
