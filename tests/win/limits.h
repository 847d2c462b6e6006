#pragma once
// How long a test waits for what it awaits before it calls it missing: ceilings that a working program never comes
// near, even on a loaded machine, so that they decide nothing but "it never came". QUELVO_TEST_TIME_FACTOR (a
// positive number, 1 by default) scales them all for a slower machine still.

#include <windows.h>

#include <chrono>
#include <cwchar>

namespace quelvo::test {

using namespace std::chrono_literals;

inline double TimeFactor() {
    static const double factor = [] {
        wchar_t text[32] = {};
        const DWORD length = GetEnvironmentVariableW(L"QUELVO_TEST_TIME_FACTOR", text, 32);
        const double value = length > 0 && length < 32 ? std::wcstod(text, nullptr) : 0;
        return value > 0 ? value : 1.0;
    }();
    return factor;
}

inline std::chrono::milliseconds Scaled(std::chrono::milliseconds base) {
    return std::chrono::milliseconds(static_cast<long long>(static_cast<double>(base.count()) * TimeFactor()));
}

// For a window to appear, a process to end, a message to be answered, a lock to be let go.
inline std::chrono::milliseconds Ceiling() {
    return Scaled(60s);
}
inline DWORD CeilingMs() {
    return static_cast<DWORD>(Ceiling().count());
}

// For one try of several where a miss is expected and the next try follows (a click on each place that may hold
// the notification icon): it decides where to look next, never pass or fail.
inline std::chrono::milliseconds Probe() {
    return Scaled(3s);
}

} // namespace quelvo::test
