#include "message_filter_win.h"

namespace quelvo {
namespace {

using FilterExFn = BOOL(WINAPI *)(HWND, UINT, DWORD, CHANGEFILTERSTRUCT *);
using FilterFn = BOOL(WINAPI *)(UINT, DWORD);

template <typename Function> Function Find(ProcedureLookup lookup, const char *name) {
    return reinterpret_cast<Function>(reinterpret_cast<void *>(lookup(name)));
}

} // namespace

FARPROC User32Procedure(const char *name) {
    return GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
}

bool AllowMessageFromLowerRights(HWND window, UINT message, ProcedureLookup lookup) {
    if (const auto filterEx = Find<FilterExFn>(lookup, "ChangeWindowMessageFilterEx"))
        return filterEx(window, message, MSGFLT_ALLOW, nullptr);
    if (const auto filter = Find<FilterFn>(lookup, "ChangeWindowMessageFilter")) return filter(message, MSGFLT_ADD);
    return false;
}

} // namespace quelvo
