#include "accessible_name.h"

#include "platform/module_export_win.h"
#include "texts.h"

#include <commctrl.h>
#include <initguid.h>
#include <oleacc.h>

#include <string>
#include <utility>

namespace quelvo {
namespace {

using CreateStdAccessibleObjectFn = HRESULT WINAPI(HWND, LONG, REFIID, void **);
using LresultFromObjectFn = LRESULT WINAPI(REFIID, WPARAM, IUnknown *);

struct Oleacc {
    CreateStdAccessibleObjectFn *createStandard = nullptr;
    LresultFromObjectFn *lresultFromObject = nullptr;
};

const Oleacc &LoadOleacc() {
    static const Oleacc oleacc = [] {
        Oleacc found;
        const HMODULE module = LoadSystemLibrary(L"oleacc.dll");
        found.createStandard = ModuleExport<CreateStdAccessibleObjectFn>(module, "CreateStdAccessibleObject");
        found.lresultFromObject = ModuleExport<LresultFromObjectFn>(module, "LresultFromObject");
        // The answer is marshalled to the client through COM, which this thread has not needed until now.
        if (const auto initialise = ModuleExport<HRESULT WINAPI(void *, DWORD)>(L"ole32.dll", "CoInitializeEx"))
            initialise(nullptr, COINIT_APARTMENTTHREADED);
        return found;
    }();
    return oleacc;
}

// The control's standard accessible object, with its own name in place of the control's text. It answers for
// itself every interface it gives: one handed on from the standard object would lead a client that goes through
// it and back to the unnamed object, and to another identity.
class NamedAccessible final : public IAccessible, public IOleWindow {
public:
    NamedAccessible(IAccessible *standard, HWND control, std::wstring name)
        : standard_(standard), control_(control), name_(std::move(name)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible)
            *object = static_cast<IAccessible *>(this);
        else if (iid == IID_IOleWindow) // how a client finds the control from its object
            *object = static_cast<IOleWindow *>(this);
        else
            *object = nullptr;
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            standard_->Release();
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override {
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) return standard_->get_accName(child, name);
        // SysAllocString lives in oleaut32, which oleacc has loaded.
        const auto allocate = ModuleExport<BSTR WINAPI(const OLECHAR *)>(L"oleaut32.dll", "SysAllocString");
        *name = allocate ? allocate(name_.c_str()) : nullptr;
        return *name ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT STDMETHODCALLTYPE GetWindow(HWND *window) override {
        if (!window) return E_POINTER;
        *window = control_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // Everything else is the standard object's.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override { return standard_->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo **info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR *names, UINT count, LCID locale,
                                            DISPID *ids) override {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS *parameters,
                                     VARIANT *result, EXCEPINFO *exception, UINT *argument) override {
        return standard_->Invoke(id, iid, locale, flags, parameters, result, exception, argument);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override { return standard_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override { return standard_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *text) override {
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override {
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR *help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT child, LONG *topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *child) override { return standard_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG *left, LONG *top, LONG *width, LONG *height, VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT *end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT *child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    IAccessible *standard_;
    HWND control_;
    std::wstring name_;
    LONG references_ = 1;
};

LRESULT AnswerWithName(HWND control, WPARAM wParam, std::wstring name) {
    const Oleacc &oleacc = LoadOleacc();
    if (!oleacc.createStandard || !oleacc.lresultFromObject) return 0;
    IAccessible *standard = nullptr;
    if (FAILED(oleacc.createStandard(control, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void **>(&standard))))
        return 0;
    IAccessible *named = new NamedAccessible(standard, control, std::move(name));
    const LRESULT result = oleacc.lresultFromObject(IID_IAccessible, wParam, named);
    named->Release(); // the client holds its own reference
    return result;
}

LRESULT CALLBACK NamedControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                  DWORD_PTR nameId) {
    if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT))
        if (const LRESULT answer = AnswerWithName(hwnd, wParam, LoadText(static_cast<UINT>(nameId))))
            return answer;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, NamedControlProc, id);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace

void SetAccessibleName(HWND control, UINT nameId) {
    SetWindowSubclass(control, NamedControlProc, 0, nameId);
}

} // namespace quelvo
