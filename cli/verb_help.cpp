// --help: the usage text, which the table of verbs and options writes.
#include "commands.h"
#include "messages.h"
#include "verbs.h"

namespace quelvo::cli {

void PrintUsage(Console &console, bool toErr) {
    toErr ? console.Err(UsageText()) : console.Out(UsageText());
}

int RunHelp(const Arguments &, Console &console, const VerbContext &) {
    PrintUsage(console, false);
    return ToInt(ExitCode::Ok);
}

} // namespace quelvo::cli
