#pragma once
// One running copy per session, claimed with a named mutex before any window exists.

#include "unique_handle_win.h"

#include <windows.h>

namespace quelvo {

struct MutexCreation {
    HANDLE mutex;
    DWORD error; // GetLastError() right after the call
};
using MutexCreator = MutexCreation (*)(const wchar_t *name);
MutexCreation CreateNamedMutex(const wchar_t *name);

// False when another copy runs: the mutex existed, or it exists and may not be opened (a copy with more rights,
// an elevated one, created it). held keeps the claim for the process's life.
bool ClaimSingleInstance(const wchar_t *name, UniqueKernelHandle &held, MutexCreator create = CreateNamedMutex);

} // namespace quelvo
