#include "elevated_switch.h"

#include "platform/system_text_win.h"
#include "platform/text_win.h"
#include "switch_report.h"

namespace quelvo {
namespace {

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring Quoted(std::string_view name) {
    return L"\"" + Widen(name) + L"\"";
}

// The command line's documented exit codes.
const wchar_t *ExitCodeMeaning(DWORD exitCode) {
    switch (exitCode) {
    case 2:
        return L"viewer inconnu de la ligne de commande";
    case 5:
        return L"une écriture a été refusée faute de droits";
    default:
        return L"le changement a échoué";
    }
}

} // namespace

bool ElevatedSwitch::CanHelp(const SwitchOutcome &outcome) {
    return outcome.error == kRegistryAccessDenied && !elevation_.IsElevated();
}

DWORD ElevatedSwitch::Start(HWND owner, UINT doneMessage, const ViewerRecord &viewer, bool withoutBackup) {
    Cancel();
    ElevatedLaunch launch =
        elevation_.RunAsAdministrator(owner, ProgramFolder() + kCommandLineProgram,
                                      L"use " + Quoted(viewer.displayName) + (withoutBackup ? L" --no-backup" : L""));
    if (launch.error != ERROR_SUCCESS) return launch.error;
    owner_ = owner;
    doneMessage_ = doneMessage;
    process_ = std::move(launch.process);
    if (!RegisterWaitForSingleObject(&wait_, process_.Get(), OnProcessEnded, this, INFINITE,
                                     WT_EXECUTEONLYONCE)) {
        wait_ = nullptr;
        const DWORD error = GetLastError();
        process_.Reset();
        return error;
    }
    return ERROR_SUCCESS;
}

void CALLBACK ElevatedSwitch::OnProcessEnded(void *context, BOOLEAN) {
    const auto *self = static_cast<const ElevatedSwitch *>(context);
    PostMessageW(self->owner_, self->doneMessage_, 0, 0);
}

DWORD ElevatedSwitch::Finish() {
    const DWORD exitCode = process_ ? elevation_.ExitCodeOf(process_.Get()) : STILL_ACTIVE;
    Cancel();
    return exitCode;
}

void ElevatedSwitch::Cancel() {
    // Waits for a callback under way, so that it never runs on a gone object.
    if (wait_) UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
    wait_ = nullptr;
    process_.Reset();
}

std::wstring ElevationQuestion(const ViewerRecord &viewer, const SwitchOutcome &outcome) {
    return FailedSwitchMessage(viewer, outcome, false) +
           L"\n\nChanger de viewer demande les droits d'administrateur. Faire ce changement en tant "
           L"qu'administrateur ? Windows vous demandera votre accord.";
}

std::wstring ElevationDeclinedMessage(const ViewerRecord &viewer) {
    return L"Le viewer « " + Widen(viewer.displayName) +
           L" » n'a pas été choisi : l'accord pour les droits d'administrateur a été refusé. Rien n'a été modifié "
           L"en tant qu'administrateur.";
}

std::wstring ElevatedLaunchFailedMessage(const ViewerRecord &viewer, DWORD error) {
    return L"Le viewer « " + Widen(viewer.displayName) + L" » n'a pas été choisi : " + kCommandLineProgram +
           L" n'a pas pu être lancé en tant qu'administrateur.\n\nWindows indique : " + SystemText(error) +
           L" (erreur " + std::to_wstring(error) + L")";
}

std::wstring ElevatedSwitchFailedMessage(const ViewerRecord &viewer, DWORD exitCode) {
    return L"Le viewer « " + Widen(viewer.displayName) + L" » n'a pas pu être choisi en tant qu'administrateur : " +
           kCommandLineProgram + L" s'est terminé avec le code " + std::to_wstring(exitCode) + L" (" +
           ExitCodeMeaning(exitCode) + L").\n\nPour le détail, lancez dans une invite de commandes d'administrateur : " +
           kCommandLineProgram + L" use " + Quoted(viewer.displayName);
}

} // namespace quelvo

namespace quelvo {

std::wstring ElevatedNoBackupQuestion(const ViewerRecord &viewer) {
    return L"Le viewer « " + Widen(viewer.displayName) + L" » n'a pas été choisi en tant qu'administrateur : " +
           kCommandLineProgram + L" n'a rien écrit, car les valeurs d'avant n'ont pas pu être sauvegardées (code 7)." +
           L"\n\nSans sauvegarde, « quelvo-cli restore » ne pourra pas remettre les valeurs d'avant ce changement. "
           L"Windows vous demandera encore votre accord.\n\nChanger quand même, sans sauvegarde ?";
}

} // namespace quelvo
