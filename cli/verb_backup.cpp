// backup: the places Quelvo manages as they are, as a .reg file that puts them back.
#include "commands.h"
#include "messages.h"

#include "core/backup.h"
#include "platform/registry_win.h"

namespace quelvo::cli {

int RunBackup(const Arguments &arguments, Console &console, const VerbContext &) {
    Win32Registry registry;
    return Deliver(BackupEntries(ScopeOf(arguments), registry), arguments, console);
}

} // namespace quelvo::cli
