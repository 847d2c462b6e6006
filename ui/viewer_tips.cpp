#include "viewer_tips.h"

#include "picture_report.h"
#include "platform/text_win.h"
#include "resource.h"

#include <commctrl.h>

namespace quelvo {

std::wstring ViewerTipText(const ViewerRecord &viewer, const Link *blocker) {
    std::wstring text = Widen(viewer.displayName);
    if (blocker) text += L"\n" + PictureTipNote(blocker->id);
    return text;
}

HWND CreateViewerTips(HWND owner, RegistryReader &registry, SystemFacts &system) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE));
    // Not owned by the window: under Wine an owned pop-up keeps its owner out of the topmost band.
    HWND tips = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                                nullptr);
    if (!tips) return nullptr;
    SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 300); // lets the note wrap onto its own line
    for (std::size_t i = 0; i < Viewers().size(); ++i) {
        const std::optional<Link> blocker = PictureBlocker(Viewers()[i], registry, system);
        std::wstring text = ViewerTipText(Viewers()[i], blocker ? &*blocker : nullptr);
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = owner;
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(owner, ViewerButtonId(i)));
        tool.lpszText = text.data(); // the tooltip keeps its own copy
        SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return tips;
}

} // namespace quelvo
