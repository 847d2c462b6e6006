#pragma once
// One function per verb; each returns the program's exit code.

#include "arguments.h"
#include "console_win.h"
#include "core/exit_codes.h"

namespace quelvo::cli {

int Run(const Arguments &arguments, Console &console);
void PrintUsage(Console &console, bool toErr);

int ListViewers(Console &console);
int RestoreBackup(const Arguments &arguments, Console &console);
// -o FILE: an existing file is refused unless force, a backup Quelvo keeps always; written beside it, then moved.
int WriteOutputFile(const std::string &path, std::string_view bytes, bool force, Console &console);
std::string SystemTextOf(unsigned long error);
int ShowStatus(const Arguments &arguments, Console &console);

} // namespace quelvo::cli
