#include "commands.h"
#include "messages.h"
#include "verbs.h"

#include "core/detection.h"
#include "core/messages.h"
#include "core/viewer_name.h"
#include "platform/registry_win.h"
#include "platform/switch_lock_win.h"
#include "platform/system_text_win.h"
#include "platform/text_win.h"

#include <algorithm>
#include <utility>

namespace quelvo::cli {
namespace {

using HandlerOf = std::pair<Verb, VerbHandler>;

// In the table's order, which the compiler checks: a verb added to the table without a handler does not build.
constexpr std::array<HandlerOf, kVerbs.size()> kHandlers = {{{Verb::List, RunList},
                                                             {Verb::Status, RunStatus},
                                                             {Verb::Use, RunUse},
                                                             {Verb::Check, RunCheck},
                                                             {Verb::Export, RunExport},
                                                             {Verb::Diagnose, RunDiagnose},
                                                             {Verb::Backup, RunBackup},
                                                             {Verb::Restore, RunRestore},
                                                             {Verb::Help, RunHelp}}};
static_assert(std::ranges::equal(kVerbs, kHandlers, {}, &VerbRow::verb, &HandlerOf::first),
              "each verb of the table needs its handler, in the table's order");

const ViewerRecord *MachineViewer(RegistryReader &registry) {
    const ReadResult wrl = registry.ReadValue(kMachineDetectionPath);
    return wrl.status == ReadStatus::Text ? FindViewerByDetectionValue(wrl.text) : nullptr;
}

} // namespace

const ViewerRecord *ViewerOrComplain(const std::string &name, Console &console) {
    if (const ViewerRecord *viewer = FindViewerByName(name)) return viewer;
    console.Err(UnknownViewerText(name));
    return nullptr;
}

const ViewerRecord *ViewerNamedOrInPlace(const Arguments &arguments, Console &console, int &code) {
    if (!arguments.viewer.empty()) {
        code = ToInt(ExitCode::Usage);
        return ViewerOrComplain(arguments.viewer, console);
    }
    Win32Registry registry;
    const ViewerRecord *viewer = MachineViewer(registry);
    code = ToInt(ExitCode::NoViewer);
    if (!viewer) console.Err(NoViewerInPlaceText());
    return viewer;
}

Scope ScopeOf(const Arguments &arguments) {
    return arguments.user ? Scope::CurrentUser : Scope::Machine;
}

int Deliver(const std::string &bytes, const std::string &text, const Arguments &arguments, Console &console) {
    if (arguments.outputFile) return WriteOutputFile(*arguments.outputFile, bytes, arguments.force, console);
    console.OutFile(bytes, text);
    return ToInt(ExitCode::Ok);
}

int Deliver(const std::vector<RegFileEntry> &entries, const Arguments &arguments, Console &console) {
    return Deliver(RegFileBytes(entries), RegFileText(entries), arguments, console);
}

// Another machine switch must not interleave its writes with ours: nothing is written without the lock.
std::optional<int> RefusedByLock(const LockResult &lock, const Arguments &arguments, Console &console,
                                 Elevation &elevation) {
    if (lock.state == LockState::HeldAfterAbandon) console.Err(LockText(lock, arguments.waitSeconds) + "\n");
    if (lock.Held() || GoesOnWithoutLock(lock, elevation.ReadRights().AlreadyAdministrator())) return std::nullopt;
    std::string text = LockText(lock, arguments.waitSeconds);
    if (lock.state == LockState::Unavailable) text += " " + WindowsSays(lock.error) + ".";
    console.Err(text + "\n");
    return ToInt(ExitCode::LockBusy);
}

std::string SystemTextOf(unsigned long error) {
    return ErrorText(Narrow(SystemText(error)), error);
}

std::string WindowsSays(unsigned long error) {
    return WindowsSaysText(Narrow(SystemText(error)), error);
}

int Run(const Arguments &arguments, Console &console, Account account) {
    Win32SwitchLock lock;
    ShellElevation elevation;
    return Run(arguments, console, account, {lock, elevation});
}

int Run(const Arguments &arguments, Console &console, Account account, const MachineGuard &guard) {
    const auto handler = std::ranges::find(kHandlers, arguments.verb, &HandlerOf::first);
    if (handler == kHandlers.end()) return ToInt(ExitCode::Usage);
    return handler->second(arguments, console, {account, guard});
}

} // namespace quelvo::cli
