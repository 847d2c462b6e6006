#pragma once
// DLL loading restricted to the system folder, so that a DLL planted beside the program (a downloads folder) is
// never loaded by a later LoadLibrary. Both programs call it first thing.

namespace quelvo {

// False where the system lacks SetDefaultDllDirectories (Vista, and 7 without its loader update).
bool RestrictDllSearchToSystemFolder();

} // namespace quelvo
