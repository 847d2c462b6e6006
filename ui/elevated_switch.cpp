#include "elevated_switch.h"

#include "core/exit_codes.h"
#include "core/messages.h"
#include "platform/text_win.h"
#include "resource.h"
#include "switch_report.h"
#include "texts.h"

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
    return text.empty() ? LoadText(IDS_UNKNOWN_CODE) : Widen(text);
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
    const std::wstring name = FormatText(IDS_QUOTED, {Widen(viewer.displayName)});
    Choice choice;
    choice.instruction = FormatText(IDS_REFUSED_FOR_PC, {name});
    choice.content = FormatText(IDS_REFUSED_NEEDS_RIGHTS, {FailureDetails(outcome)});
    const ChoiceButton forMe = {kChoiceForMe, LoadText(IDS_FOR_ME)};
    const std::wstring forMeText = FormatText(IDS_FOR_ME_TEXT, {name});
    switch (offer) {
    case RefusalOffer::AdministratorConsent:
        choice.content += FormatText(IDS_OFFER_CONSENT, {forMeText});
        choice.buttons = {{kChoiceAsAdministrator, LoadText(IDS_AS_ADMINISTRATOR)}, forMe};
        break;
    case RefusalOffer::AdministratorPassword:
        choice.content += FormatText(IDS_OFFER_PASSWORD, {forMeText});
        choice.buttons = {{kChoiceAsAdministrator, LoadText(IDS_WITH_PASSWORD)}, forMe};
        break;
    case RefusalOffer::ForMeOnlyNoCommandLine:
        choice.content += FormatText(IDS_OFFER_NO_COMMAND_LINE, {kCommandLineProgram, forMeText});
        choice.buttons = {forMe};
        break;
    default: // ForMeOnly
        choice.content += FormatText(IDS_OFFER_POLICY, {forMeText});
        choice.buttons = {forMe};
        break;
    }
    return choice;
}

std::wstring KeySecurityMessage(const ViewerRecord &viewer, const SwitchOutcome &outcome) {
    return FormatText(IDS_KEY_SECURITY, {FailedSwitchMessage(viewer, outcome),
                                         Widen(outcome.failedPath.substr(0, outcome.failedPath.rfind('\\')))});
}

std::wstring ElevationDeclinedMessage(const ViewerRecord &viewer) {
    return FormatText(IDS_ELEVATION_DECLINED, {Widen(viewer.displayName)});
}

std::wstring ElevatedLaunchFailedMessage(const ViewerRecord &viewer, DWORD error) {
    return FormatText(IDS_ELEVATED_LAUNCH_FAILED, {Widen(viewer.displayName), kCommandLineProgram, WindowsSays(error)});
}

std::wstring ElevatedSwitchFailedMessage(const ViewerRecord &viewer, DWORD exitCode) {
    return FormatText(IDS_ELEVATED_SWITCH_FAILED,
                      {Widen(viewer.displayName), kCommandLineProgram, std::to_wstring(exitCode),
                       CommandLineOutcome(exitCode), Quoted(viewer.displayName)});
}

std::wstring ElevatedNoBackupQuestion(const ViewerRecord &viewer) {
    return FormatText(IDS_ELEVATED_NO_BACKUP, {Widen(viewer.displayName), kCommandLineProgram});
}

} // namespace quelvo
