#include "shell_notifier_win.h"

#include "module_export_win.h"

#include <windows.h>
#include <shlobj.h>

namespace quelvo {

// shell32 is loaded only when there is something to tell: it brings user32, ole32 and more with it, which the
// command line's other verbs never need. It stays loaded, since the shell may still be at work in it.
void Win32ShellNotifier::AssociationsChanged() {
    if (const auto notify = ModuleExport<void WINAPI(LONG, UINT, LPCVOID, LPCVOID)>(LoadSystemLibrary(L"shell32.dll"),
                                                                                    "SHChangeNotify"))
        notify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

} // namespace quelvo
