#include "viewer_control_probe_win.h"

#include "text_win.h"
#include "unique_handle_win.h"

namespace quelvo {
namespace {

bool HasInprocServer(std::string_view clsid) {
    const std::wstring key = L"CLSID\\" + Widen(clsid) + L"\\InprocServer32";
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        UniqueKey opened;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE | view, opened.Receive()) ==
            ERROR_SUCCESS)
            return true;
    }
    return false;
}

} // namespace

bool RegistryViewerControlProbe::IsRegistered(const ViewerRecord &viewer) {
    return HasInprocServer(viewer.vrmlClsid) && HasInprocServer(viewer.x3dClsid);
}

} // namespace quelvo
