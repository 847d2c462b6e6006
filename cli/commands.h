#pragma once
// One function per verb; each returns the program's exit code.

#include "arguments.h"
#include "console_win.h"
#include "core/viewer_catalogue.h"

#include <string>

namespace quelvo::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitNoViewer = 3;
inline constexpr int kExitAccessDenied = 5;

int Run(const Arguments &arguments, Console &console);
void PrintUsage(Console &console, bool toErr);

int ListViewers(Console &console);
int ShowStatus(const Arguments &arguments, Console &console);
int CheckViewerCommand(const Arguments &arguments, Console &console);
// check's one line on standard output when its command line is wrong: a detection script always gets one.
void PrintCheckRefused(Console &console);

const ViewerRecord *ViewerOrComplain(const std::string &name, Console &console);

} // namespace quelvo::cli
