#pragma once
// The command line's exit codes: the one definition that the command line, its usage text and the window's
// elevated switch all read, so a script, the window and the README cannot disagree (their meanings in messages.h).

namespace quelvo {

enum class ExitCode : int {
    Ok = 0,               // done, or already in place
    Failed = 1,           // failed, or differs
    Usage = 2,            // wrong command line (nothing was written)
    NoViewer = 3,         // status: no viewer recognised
    UsersNotChecked = 4,  // status: run as SYSTEM or a service, so no user's own settings were checked
    AccessDenied = 5,     // a write was refused
    LockBusy = 6,         // the PC-wide lock is busy or held by another account
    NoBackup = 7,         // no backup could be kept before the first switch
    FileRefused = 8,      // a file was refused (untrusted restore, -o onto an existing file or the machine backup)
    OutputFailed = 9,     // writing the output failed
};

constexpr int ToInt(ExitCode code) { return static_cast<int>(code); }

// The code to end with when standard output could not be written: what the registry or a file underwent (5 to 8)
// says more than the lost output, which the error output names too.
constexpr int ExitCodeAfterOutputFailure(int code) {
    const bool registryOutcome = code >= ToInt(ExitCode::AccessDenied) && code <= ToInt(ExitCode::FileRefused);
    return registryOutcome ? code : ToInt(ExitCode::OutputFailed);
}

} // namespace quelvo
