#include "platform/text_win.h"
#include "ui/picture_report.h"
#include "viewer_ids.h"
#include "window_fixture.h"

#include <commctrl.h>
#include <initguid.h>
#include <oleacc.h>

namespace quelvo::test {
namespace {

class AccessibilityTest : public WindowTest {
protected:
    // The control's object, asked for the way screen readers ask.
    static IAccessible *AccessibleOf(HWND control) {
        IAccessible *accessible = nullptr;
        AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                   reinterpret_cast<void **>(&accessible));
        return accessible;
    }
    // The name a screen reader reads for a control.
    std::wstring AccessibleName(HWND control) {
        IAccessible *accessible = AccessibleOf(control);
        if (!accessible) return L"(no accessible object)";
        return NameOf(accessible);
    }
    // Takes the reference.
    static std::wstring NameOf(IAccessible *accessible) {
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

// COM's identity rules: whatever other interface the object gives leads back to the same, named object.
TEST_F(AccessibilityTest, EveryInterfaceOfTheNamedObjectLeadsBackToItsName) {
    Start();
    IAccessible *accessible = AccessibleOf(Control(IDC_TEXT1));
    ASSERT_NE(accessible, nullptr);
    IUnknown *identity = nullptr;
    ASSERT_EQ(accessible->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&identity)), S_OK);
    int answered = 0;
    for (const IID &iid : {IID_IOleWindow, IID_IEnumVARIANT, IID_IServiceProvider, IID_IDispatch}) {
        IUnknown *other = nullptr;
        if (FAILED(accessible->QueryInterface(iid, reinterpret_cast<void **>(&other)))) continue;
        ++answered;
        IUnknown *otherIdentity = nullptr;
        IAccessible *back = nullptr;
        other->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(&otherIdentity));
        ASSERT_EQ(other->QueryInterface(IID_IAccessible, reinterpret_cast<void **>(&back)), S_OK);
        EXPECT_EQ(otherIdentity, identity);
        EXPECT_EQ(NameOf(back), L"En Cours");
        otherIdentity->Release();
        other->Release();
    }
    EXPECT_GE(answered, 2) << "IDispatch and IOleWindow, which tells a client the control";
    HWND control = nullptr;
    EXPECT_EQ(WindowFromAccessibleObject(accessible, &control), S_OK);
    EXPECT_EQ(control, Control(IDC_TEXT1));
    identity->Release();
    accessible->Release();
}

TEST_F(AccessibilityTest, TooltipsNameTheViewerAndTheFirstThingThatKeepsItFromShowingPictures) {
    unregistered = {"Flux", "Pivoron"};
    // A kill bit on Cortona's control: registered, but blocked.
    registry.SetRaw("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility\\" +
                        std::string(Viewers()[0].vrmlClsid) + "\\Compatibility Flags",
                    kRegDword, std::string("\x00\x04\x00\x00", 4));
    Start();
    ASSERT_NE(window->Tooltips(), nullptr);
    EXPECT_EQ(TipOf(Control(IDC_COMMAND1)), L"Cortona\n" + PictureTipNote(LinkId::Blocked));
    EXPECT_EQ(TipOf(Control(IDC_COMMAND7)), L"Octaga");
    const std::wstring note = L"\n" + PictureTipNote(LinkId::Control);
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
