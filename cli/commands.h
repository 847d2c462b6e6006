#pragma once
// One function per verb; each returns the program's exit code.

#include "arguments.h"
#include "console_win.h"
#include "core/exit_codes.h"

namespace quelvo::cli {

int Run(const Arguments &arguments, Console &console);
void PrintUsage(Console &console, bool toErr);

int ListViewers(Console &console);
int ShowStatus(const Arguments &arguments, Console &console);

} // namespace quelvo::cli
