#pragma once
// A switch refused for lack of rights, made again by quelvo-cli.exe started with administrator rights. The wait
// for it runs on the thread pool and ends with a message posted to the window, so the window keeps painting.

#include "choice_dialog.h"
#include "core/switch.h"
#include "platform/elevation_win.h"

#include <windows.h>

#include <string>

namespace quelvo {

class ElevatedSwitch {
public:
    explicit ElevatedSwitch(Elevation &elevation) : elevation_(elevation) {}
    ElevatedSwitch(const ElevatedSwitch &) = delete;
    ElevatedSwitch &operator=(const ElevatedSwitch &) = delete;
    ~ElevatedSwitch() { Cancel(); }

    // quelvo-cli.exe in the program's folder, looked for before anything is offered.
    bool CommandLinePresent();
    // Starts "quelvo-cli.exe use <viewer>" from the program's folder (with --no-backup if withoutBackup);
    // doneMessage reaches owner when it ends. The error when it could not be started (ERROR_CANCELLED: the user
    // declined the prompt).
    DWORD Start(HWND owner, UINT doneMessage, const ViewerRecord &viewer, bool withoutBackup = false);
    bool Waiting() const { return wait_ != nullptr; }
    // After doneMessage: the command's exit code.
    DWORD Finish();
    void Cancel();

private:
    static void CALLBACK OnProcessEnded(void *context, BOOLEAN timedOut);

    Elevation &elevation_;
    UniqueKernelHandle process_;
    HANDLE wait_ = nullptr;
    HWND owner_ = nullptr;
    UINT doneMessage_ = 0;
};

inline constexpr wchar_t kCommandLineProgram[] = L"quelvo-cli.exe";

// What the window offers after a refused write, from the token, the UAC policy and quelvo-cli.exe's presence.
enum class RefusalOffer {
    Report,                // not a matter of rights: the report alone
    KeySecurity,           // already administrator: the key's own security refuses the write
    AdministratorConsent,  // the limited half of an administrator's token: the consent prompt, or for me only
    AdministratorPassword, // a standard user whom policy lets ask for an administrator's password, or for me only
    ForMeOnly,             // elevation denied by policy or UAC off for a standard user
    ForMeOnlyNoCommandLine // elevation would be possible, but quelvo-cli.exe is not beside quelvo.exe
};
RefusalOffer OfferAfterRefusal(const SwitchOutcome &outcome, const Rights &rights, bool commandLinePresent);

inline constexpr int kChoiceAsAdministrator = 101;
inline constexpr int kChoiceForMe = 102;

// What the user is asked and told along the way.
Choice RefusalChoice(const ViewerRecord &viewer, const SwitchOutcome &outcome, RefusalOffer offer);
std::wstring KeySecurityMessage(const ViewerRecord &viewer, const SwitchOutcome &outcome);
std::wstring ElevationDeclinedMessage(const ViewerRecord &viewer);
std::wstring ElevatedLaunchFailedMessage(const ViewerRecord &viewer, DWORD error);
std::wstring ElevatedSwitchFailedMessage(const ViewerRecord &viewer, DWORD exitCode);
// The command line wrote nothing, as no backup could be kept (exit code 7).
std::wstring ElevatedNoBackupQuestion(const ViewerRecord &viewer);

} // namespace quelvo
