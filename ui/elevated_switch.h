#pragma once
// A switch refused for lack of rights, made again by quelvo-cli.exe started with administrator rights. The wait
// for it runs on the thread pool and ends with a message posted to the window, so the window keeps painting.

#include "core/association.h"
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

    // A refusal that administrator rights would cure, in a process that does not have them.
    bool CanHelp(const SwitchOutcome &outcome);
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

// What the user is asked and told along the way.
std::wstring ElevationQuestion(const ViewerRecord &viewer, const SwitchOutcome &outcome);
std::wstring ElevationDeclinedMessage(const ViewerRecord &viewer);
std::wstring ElevatedLaunchFailedMessage(const ViewerRecord &viewer, DWORD error);
std::wstring ElevatedSwitchFailedMessage(const ViewerRecord &viewer, DWORD exitCode);
// The command line wrote nothing, as no backup could be kept (exit code 7).
std::wstring ElevatedNoBackupQuestion(const ViewerRecord &viewer);

} // namespace quelvo
