#pragma once
// How a verb is run, and what several verbs share. Each verb's handler lives in verb_<name>.cpp; each returns the
// program's exit code.

#include "arguments.h"
#include "console_win.h"
#include "core/association.h"
#include "core/exit_codes.h"
#include "core/hiding.h"
#include "core/reg_file.h"
#include "core/switch_lock.h"
#include "core/viewer_catalogue.h"
#include "platform/elevation_win.h"

#include <optional>
#include <string>
#include <vector>

namespace quelvo::cli {

// What a machine write meets besides the registry: the PC-wide lock and this process's rights. Tests give a lock of
// another name and a token of their choosing.
struct MachineGuard {
    SwitchLock &lock;
    Elevation &elevation;
};

// What a verb runs with besides its words. account: whom the process runs as (a person, or SYSTEM or a service),
// which decides what status, check and --also-user may say of the user's own settings.
struct VerbContext {
    Account account;
    const MachineGuard &guard;
};

using VerbHandler = int (*)(const Arguments &arguments, Console &console, const VerbContext &context);

// Without guard, the PC-wide lock and the process's own token.
int Run(const Arguments &arguments, Console &console, Account account);
int Run(const Arguments &arguments, Console &console, Account account, const MachineGuard &guard);
void PrintUsage(Console &console, bool toErr);

int RunHelp(const Arguments &arguments, Console &console, const VerbContext &context);
int RunList(const Arguments &arguments, Console &console, const VerbContext &context);
int RunStatus(const Arguments &arguments, Console &console, const VerbContext &context);
int RunUse(const Arguments &arguments, Console &console, const VerbContext &context);
int RunCheck(const Arguments &arguments, Console &console, const VerbContext &context);
int RunExport(const Arguments &arguments, Console &console, const VerbContext &context);
int RunDiagnose(const Arguments &arguments, Console &console, const VerbContext &context);
int RunBackup(const Arguments &arguments, Console &console, const VerbContext &context);
int RunRestore(const Arguments &arguments, Console &console, const VerbContext &context);

// check's one line on standard output when its command line is wrong: a detection script always gets one.
void PrintCheckRefused(Console &console);

const ViewerRecord *ViewerOrComplain(const std::string &name, Console &console);
// The viewer named, or without a name the machine's; nullptr with the exit code said on the error output.
const ViewerRecord *ViewerNamedOrInPlace(const Arguments &arguments, Console &console, int &code);
Scope ScopeOf(const Arguments &arguments);

// A file's bytes to -o FILE, or to standard output (as text in a console window).
int Deliver(const std::string &bytes, const std::string &text, const Arguments &arguments, Console &console);
int Deliver(const std::vector<RegFileEntry> &entries, const Arguments &arguments, Console &console);
// -o FILE: an existing file is refused unless force, a backup Quelvo keeps always; written beside it, then moved.
int WriteOutputFile(const std::string &path, std::string_view bytes, bool force, Console &console);
// What WriteOutputFile would refuse before writing anything, said on the error output; 0 when nothing is refused.
int RefusedOutputFile(const std::string &path, bool force, Console &console);
// The full path of a file named on the command line, as the system resolves it.
std::string FullPathOf(const std::string &path);

// The system's own words for an error and its code, as the core composes them for the window too.
std::string SystemTextOf(unsigned long error);
std::string WindowsSays(unsigned long error);
// The exit code when the PC-wide lock kept a machine write from being made (said on the error output); nullopt
// when the write goes on, held or, without administrator rights, without it.
std::optional<int> RefusedByLock(const LockResult &lock, const Arguments &arguments, Console &console,
                                 Elevation &elevation);

} // namespace quelvo::cli
