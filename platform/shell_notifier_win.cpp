#include "shell_notifier_win.h"

#include <windows.h>
#include <shlobj.h>

namespace quelvo {

void Win32ShellNotifier::AssociationsChanged() {
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

} // namespace quelvo
