#include "elevated_switch.h"

#include "core/exit_codes.h"
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

// The command line's own meaning of its code, from the one table of them.
std::wstring CommandLineOutcome(DWORD exitCode) {
    const std::string_view text = exitCode <= 255 ? ExitCodeText(static_cast<int>(exitCode)) : std::string_view();
    return text.empty() ? L"code inconnu" : Widen(text);
}

} // namespace

bool ElevatedSwitch::CommandLinePresent() {
    return elevation_.ProgramExists(ProgramFolder() + kCommandLineProgram);
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

RefusalOffer OfferAfterRefusal(const SwitchOutcome &outcome, const Rights &rights, bool commandLinePresent) {
    if (outcome.error != kRegistryAccessDenied) return RefusalOffer::Report;
    if (rights.AlreadyAdministrator()) return RefusalOffer::KeySecurity;
    RefusalOffer elevated = RefusalOffer::AdministratorConsent;
    if (rights.elevationType != TokenElevationTypeLimited) {
        // Missing values mean what Windows does without them: UAC on, and a prompt for credentials.
        const DWORD behaviour = rights.consentPromptBehaviorUser.value_or(3);
        if (rights.enableLua.value_or(1) == 0 || (behaviour != 1 && behaviour != 3)) return RefusalOffer::ForMeOnly;
        elevated = RefusalOffer::AdministratorPassword;
    }
    return commandLinePresent ? elevated : RefusalOffer::ForMeOnlyNoCommandLine;
}

Choice RefusalChoice(const ViewerRecord &viewer, const SwitchOutcome &outcome, RefusalOffer offer) {
    const std::wstring name = L"« " + Widen(viewer.displayName) + L" »";
    Choice choice;
    choice.instruction = L"Le viewer " + name + L" n'a pas pu être choisi pour tout le PC.";
    choice.content = FailureDetails(outcome) + L"\n\nChanger de viewer pour tout le PC demande les droits "
                                                            L"d'administrateur";
    const ChoiceButton forMe = {kChoiceForMe, L"Pour moi seulement"};
    const std::wstring forMeText =
        L"« Pour moi seulement » choisit " + name + L" pour votre compte seul, sans droits particuliers.";
    switch (offer) {
    case RefusalOffer::AdministratorConsent:
        choice.content += L". Windows peut vous demander votre accord pour faire ce changement en tant "
                          L"qu'administrateur.\n\n" + forMeText;
        choice.buttons = {{kChoiceAsAdministrator, L"En tant qu'administrateur"}, forMe};
        break;
    case RefusalOffer::AdministratorPassword:
        choice.content += L", que ce compte n'a pas. Windows peut demander le mot de passe d'un administrateur pour "
                          L"faire ce changement.\n\n" + forMeText;
        choice.buttons = {{kChoiceAsAdministrator, L"Avec le mot de passe d'un administrateur"}, forMe};
        break;
    case RefusalOffer::ForMeOnlyNoCommandLine:
        choice.content += L", et " + std::wstring(kCommandLineProgram) +
                          L", qui le fait en tant qu'administrateur, n'est pas dans le dossier de Quelvo.\n\n" +
                          forMeText;
        choice.buttons = {forMe};
        break;
    default: // ForMeOnly
        choice.content += L", et la stratégie de ce PC ne permet pas à ce compte de les demander.\n\n" + forMeText;
        choice.buttons = {forMe};
        break;
    }
    return choice;
}

std::wstring KeySecurityMessage(const ViewerRecord &viewer, const SwitchOutcome &outcome) {
    return FailedSwitchMessage(viewer, outcome) +
           L"\n\nQuelvo a déjà les droits d'administrateur : c'est la sécurité propre de la clé " +
           Widen(outcome.failedPath.substr(0, outcome.failedPath.rfind('\\'))) +
           L" qui refuse l'écriture, même à un administrateur. Il faut d'abord rendre cette clé modifiable (Éditeur "
           L"du Registre, clic droit sur la clé, Autorisations), puis choisir le viewer à nouveau.";
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
           CommandLineOutcome(exitCode) + L").\n\nPour le détail, lancez dans une invite de commandes d'administrateur : " +
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
