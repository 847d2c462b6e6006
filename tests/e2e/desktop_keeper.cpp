// Stays on the Wine desktop for a whole test run, with no window anyone can see or find. Wine closes a desktop a
// second after its last program leaves it, and a program that starts within that second is given the closing one
// and loses its windows (seen as "BadWindow" from X and a program that ends at once). Ended with the Wine server.

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // A message-only window: it makes this thread a user of the desktop, and no window enumeration finds it.
    const HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!window) return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
