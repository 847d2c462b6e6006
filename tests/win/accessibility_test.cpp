#include "platform/text_win.h"
#include "viewer_ids.h"
#include "window_fixture.h"

#include <commctrl.h>
#include <initguid.h>
#include <oleacc.h>

namespace quelvo::test {
namespace {

class AccessibilityTest : public WindowTest {
protected:
    // The name a screen reader reads for a control, asked the way screen readers ask.
    std::wstring AccessibleName(HWND control) {
        IAccessible *accessible = nullptr;
        const HRESULT found = AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                         reinterpret_cast<void **>(&accessible));
        if (FAILED(found) || !accessible) return L"(no accessible object)";
        VARIANT self = {};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        const HRESULT named = accessible->get_accName(self, &name);
        std::wstring text = SUCCEEDED(named) && name ? std::wstring(name) : L"(no name)";
        SysFreeString(name);
        accessible->Release();
        return text;
    }
    std::wstring TipOf(HWND button) {
        wchar_t text[256] = {};
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof tool;
        tool.hwnd = Hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(button);
        tool.lpszText = text;
        SendMessageW(window->Tooltips(), TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
        return text;
    }
};

TEST_F(AccessibilityTest, ScreenReadersNameEachButtonByItsViewerAndTheStatusBoxEnCours) {
    Start();
    for (const ViewerRecord &viewer : Viewers()) {
        const HWND button = Control(IdsOf(viewer).button);
        const std::wstring name = Widen(viewer.displayName);
        EXPECT_EQ(Text(button), name);
        EXPECT_EQ(AccessibleName(button), name);
        EXPECT_TRUE(GetWindowLongPtrW(button, GWL_STYLE) & BS_BITMAP) << "the text is never drawn";
    }
    EXPECT_EQ(AccessibleName(Control(IDC_TEXT1)), L"En Cours");
    EXPECT_EQ(StatusText(), L"Octaga") << "the box still shows the viewer";
    Click(IDC_COMMAND8);
    EXPECT_EQ(AccessibleName(Control(IDC_TEXT1)), L"En Cours");
}

TEST_F(AccessibilityTest, TooltipsNameTheViewerAndSayWhenItsControlIsMissing) {
    probe.missing = {"Flux", "Pivoron"};
    Start();
    ASSERT_NE(window->Tooltips(), nullptr);
    EXPECT_EQ(TipOf(Control(IDC_COMMAND1)), L"Cortona");
    EXPECT_EQ(TipOf(Control(IDC_COMMAND7)), L"Octaga");
    const std::wstring note = L"\nLe contrôle de ce viewer n'est pas enregistré sur ce PC.";
    EXPECT_EQ(TipOf(Control(IDC_COMMAND8)), L"Flux" + note);
    EXPECT_EQ(TipOf(Control(IDC_COMMAND4)), L"Pivoron" + note);
}

TEST_F(AccessibilityTest, ActivationGivesTheFocusBackToTheControlThatHadIt) {
    Start();
    SetForegroundWindow(Hwnd());
    Pump();
    EXPECT_EQ(GetFocus(), Control(IDC_COMMAND1)) << "the first button in tab order at start-up";
    SetFocus(Control(IDC_COMMAND5));
    Command(IDM_MSYSTRAY);
    Command(IDM_MOUVRIR);
    SetForegroundWindow(Hwnd());
    Pump();
    EXPECT_EQ(GetFocus(), Control(IDC_COMMAND5));
}

} // namespace
} // namespace quelvo::test
