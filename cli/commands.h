#pragma once
// One function per verb; each returns the program's exit code.

#include "arguments.h"
#include "console_win.h"
#include "core/exit_codes.h"
#include "core/hiding.h"
#include "core/switch_lock.h"
#include "platform/elevation_win.h"

#include <optional>
#include "core/viewer_catalogue.h"

#include <string>

namespace quelvo::cli {

// What a machine write meets besides the registry: the PC-wide lock and this process's rights. Tests give a lock of
// another name and a token of their choosing.
struct MachineGuard {
    SwitchLock &lock;
    Elevation &elevation;
};

// account: whom the process runs as (a person, or SYSTEM or a service), which decides what status, check and
// --also-user may say of the user's own settings. Without guard, the PC-wide lock and the process's own token.
int Run(const Arguments &arguments, Console &console, Account account);
int Run(const Arguments &arguments, Console &console, Account account, const MachineGuard &guard);
void PrintUsage(Console &console, bool toErr);

int ListViewers(Console &console);
int RestoreBackup(const Arguments &arguments, Console &console, const MachineGuard &guard);
// -o FILE: an existing file is refused unless force, a backup Quelvo keeps always; written beside it, then moved.
int WriteOutputFile(const std::string &path, std::string_view bytes, bool force, Console &console);
std::string SystemTextOf(unsigned long error);
// The full path of a file named on the command line, as the system resolves it.
std::string FullPathOf(const std::string &path);
// The exit code when the PC-wide lock kept a machine write from being made (said on the error output); nullopt
// when the write goes on, held or, without administrator rights, without it.
std::optional<int> RefusedByLock(const LockResult &lock, const Arguments &arguments, Console &console,
                                 Elevation &elevation);
int ShowStatus(const Arguments &arguments, Console &console, Account account);
int CheckViewerCommand(const Arguments &arguments, Console &console, Account account);
// check's one line on standard output when its command line is wrong: a detection script always gets one.
void PrintCheckRefused(Console &console);

const ViewerRecord *ViewerOrComplain(const std::string &name, Console &console);

} // namespace quelvo::cli
