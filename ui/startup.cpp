#include "startup.h"

#include "platform/dll_search_win.h"
#include "platform/single_instance_win.h"
#include "system_services.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace quelvo;
    RestrictDllSearchToSystemFolder();
    // Taken before any window exists; a second start ends silently and leaves the first untouched.
    UniqueKernelHandle singleInstance;
    if (!ClaimSingleInstance(kSingleInstanceMutex, singleInstance)) return 0;

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    SystemServices services;
    return RunMainWindow(instance, services.ForWindow());
}
