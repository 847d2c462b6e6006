#pragma once
// Starting another program through the shell, as its documentation asks, and the system's own programs by their
// full path.

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace quelvo {

// ShellExecuteExW with COM initialised on this thread first (single-threaded apartment): the shell may hand the
// verb to an extension that it reaches through COM. shell32 and ole32 are loaded then, and only then. The system's
// code, ERROR_SUCCESS once started.
DWORD ShellExecuteWithCom(SHELLEXECUTEINFOW &info);

// A program of the system folder by its full path (control.exe), never one found along the search path; empty
// where the folder cannot be found.
std::wstring SystemProgram(const wchar_t *name);

} // namespace quelvo
