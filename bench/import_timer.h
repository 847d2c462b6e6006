#pragma once
// Timing a program's system calls without changing it: an entry of this program's own import table is pointed at a
// wrapper that charges the call's time to a phase. Shared by the start-up and click phase programs.

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace quelvo::bench {

inline double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Exclusive time: a call inside another is charged to its own phase, not to its caller's. A call classifies itself
// only from the base phase (phase 0); inside a phase of its own, every call belongs to it.
template <typename Phase, std::size_t Count> struct PhaseClock {
    std::array<double, Count> spent{};
    Phase current = Phase{};
    double since = 0;

    void Start(Phase phase) {
        spent.fill(0);
        current = phase;
        since = Now();
    }
    Phase Enter(Phase phase) {
        const double now = Now();
        spent[current] += now - since;
        since = now;
        const Phase caller = current;
        if (current == Phase{}) current = phase;
        return caller;
    }
    void Leave(Phase caller) {
        const double now = Now();
        spent[current] += now - since;
        since = now;
        current = caller;
    }
    // Runs a call inside a phase.
    template <typename Call> auto Timed(Phase phase, Call call) {
        const Phase caller = Enter(phase);
        auto result = call();
        Leave(caller);
        return result;
    }
};

// Replaces one entry of this program's own import table; returns what it held.
inline void *PatchImport(const char *name, void *replacement) {
    auto *base = reinterpret_cast<BYTE *>(GetModuleHandleW(nullptr));
    const auto *nt = reinterpret_cast<IMAGE_NT_HEADERS *>(base + reinterpret_cast<IMAGE_DOS_HEADER *>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY &imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto *dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + imports.VirtualAddress); dll->Name; ++dll) {
        auto *names = reinterpret_cast<IMAGE_THUNK_DATA *>(base + dll->OriginalFirstThunk);
        auto *slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto *byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char *>(byName->Name), name) != 0) continue;
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof(void *), PAGE_READWRITE, &protection);
            void *original = reinterpret_cast<void *>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof(void *), protection, &protection);
            return original;
        }
    }
    return nullptr;
}

} // namespace quelvo::bench
