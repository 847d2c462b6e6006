#pragma once
// Lets a message from a process with fewer rights through to an elevated window (user interface privilege
// isolation drops registered messages such as "TaskbarCreated" otherwise).

#include <windows.h>

namespace quelvo {

// How the functions are found: GetProcAddress on user32 in the program, a table of fakes in tests.
using ProcedureLookup = FARPROC (*)(const char *name);
FARPROC User32Procedure(const char *name);

// ChangeWindowMessageFilterEx for this window where it exists (Windows 7 on), else the process-wide
// ChangeWindowMessageFilter (Vista); nothing before Vista, which has no filter. True when a filter call succeeded.
bool AllowMessageFromLowerRights(HWND window, UINT message, ProcedureLookup lookup = User32Procedure);

} // namespace quelvo
