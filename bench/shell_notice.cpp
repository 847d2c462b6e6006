// The shell notice alone: what a program that changed file associations owes Explorer, and nothing else. The
// benchmark runs it after "reg import" to have the fair peer of quelvo-cli use.
#include <windows.h>
#include <shlobj.h>

int wmain() {
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return 0;
}
