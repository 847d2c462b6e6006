// A DLL that only exists to be found, or not, beside the program that loads it.
#include <windows.h>

extern "C" __declspec(dllexport) int QuelvoPlanted() {
    return 1;
}
