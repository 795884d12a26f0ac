#include <windows.h>
// (These need windows.h first.)
#include <commctrl.h>
#include <oleacc.h>

#include <new>

#include "misc/AccessibleName.h"

namespace velmora {
namespace {

// {618736E0-3C3D-11CF-810C-00AA00389B71}
constexpr IID kAccessible{0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
// {00020400-0000-0000-C000-000000000046}
constexpr IID kDispatch{0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00000114-0000-0000-C000-000000000046}
constexpr IID kOleWindow{0x00000114, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00000000-0000-0000-C000-000000000046}
constexpr IID kUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

using CreateStdAccessibleObjectCall = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectCall = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using SysAllocStringCall = BSTR(WINAPI*)(const OLECHAR*);
using CoInitializeExCall = HRESULT(WINAPI*)(LPVOID, DWORD);
using CoUninitializeCall = void(WINAPI*)();

template <typename Call>
Call Find(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(module, name))) : nullptr;
}

// From the system folder, never from beside the exe; loaded when a screen reader first asks,
// so velmora.exe imports none of them, and kept loaded from then on.
HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (HMODULE loaded = GetModuleHandleW(name)) return loaded;
    wchar_t path[MAX_PATH + 16]{};
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    wcscat(path, L"\\");
    wcscat(path, name);
    return LoadLibraryW(path);
}

struct Accessibility {
    CreateStdAccessibleObjectCall createStandard = nullptr;
    LresultFromObjectCall answerWith = nullptr;
    SysAllocStringCall allocateString = nullptr;
    CoInitializeExCall joinApartment = nullptr;
    CoUninitializeCall leaveApartment = nullptr;

    bool Usable() const noexcept {
        return createStandard && answerWith && allocateString && joinApartment && leaveApartment;
    }
};

Accessibility LoadAccessibility() noexcept {
    HMODULE oleacc = LoadSystemLibrary(L"oleacc.dll");
    HMODULE automation = LoadSystemLibrary(L"oleaut32.dll");
    HMODULE ole = LoadSystemLibrary(L"ole32.dll");
    return {Find<CreateStdAccessibleObjectCall>(oleacc, "CreateStdAccessibleObject"),
            Find<LresultFromObjectCall>(oleacc, "LresultFromObject"),
            Find<SysAllocStringCall>(automation, "SysAllocString"), Find<CoInitializeExCall>(ole, "CoInitializeEx"),
            Find<CoUninitializeCall>(ole, "CoUninitialize")};
}

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The system's description of the control with the name its caption cannot give.
class NamedAccessible final : public IAccessible, public IOleWindow {
public:
    NamedAccessible(IAccessible* standard, const wchar_t* name, SysAllocStringCall allocateString)
        : standard_(standard), name_(name), allocateString_(allocateString) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, kUnknown) || IsEqualIID(iid, kDispatch) || IsEqualIID(iid, kAccessible)) {
            *object = static_cast<IAccessible*>(this);
        } else if (IsEqualIID(iid, kOleWindow)) {
            *object = static_cast<IOleWindow*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: screen readers call the interface itself; a script would get the standard
    // name through Invoke, so there is none.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible: the name here, the rest as the system tells it.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child)) return standard_->get_accName(child, name);
        if (!name) return E_POINTER;
        *name = allocateString_(name_);
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return standard_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return standard_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return standard_->get_accFocus(focus); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* chosen) override { return standard_->get_accSelection(chosen); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long how, VARIANT child) override { return standard_->accSelect(how, child); }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

    // IOleWindow: which window this describes (WindowFromAccessibleObject).
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        IOleWindow* standardWindow = nullptr;
        if (FAILED(standard_->QueryInterface(kOleWindow, reinterpret_cast<void**>(&standardWindow))) || !standardWindow)
            return E_FAIL;
        const HRESULT result = standardWindow->GetWindow(window);
        standardWindow->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

private:
    ~NamedAccessible() { standard_->Release(); }

    LONG references_ = 1;
    IAccessible* standard_;
    const wchar_t* name_;
    SysAllocStringCall allocateString_;
};

// WM_GETOBJECT for the control's client area; 0 leaves the question to the control.
LRESULT AnswerWithName(HWND control, WPARAM flags, const wchar_t* name) noexcept {
    static const Accessibility accessibility = LoadAccessibility();
    if (!accessibility.Usable()) return 0;
    // The answer reaches a screen reader in another process through COM, which this thread
    // joins for good the first time (a later join only counts up, and is undone).
    const HRESULT joined = accessibility.joinApartment(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (joined == S_FALSE) accessibility.leaveApartment();
    IAccessible* standard = nullptr;
    if (FAILED(accessibility.createStandard(control, OBJID_CLIENT, kAccessible, reinterpret_cast<void**>(&standard))) ||
        !standard)
        return 0;
    auto* named = new (std::nothrow) NamedAccessible(standard, name, accessibility.allocateString);
    if (!named) {
        standard->Release();
        return 0;
    }
    const LRESULT answer = accessibility.answerWith(kAccessible, flags, static_cast<IAccessible*>(named));
    named->Release();
    return answer > 0 ? answer : 0;
}

LRESULT CALLBACK NamedControlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR name) noexcept {
    // The object id comes as a 32-bit number, widened either way on 64-bit Windows.
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT)
        if (const LRESULT answer = AnswerWithName(control, wParam, reinterpret_cast<const wchar_t*>(name)))
            return answer;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(control, NamedControlProcedure, id);
    return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

bool GiveAccessibleName(HWND control, const wchar_t* name) noexcept {
    return control && name &&
           SetWindowSubclass(control, NamedControlProcedure, 0, reinterpret_cast<DWORD_PTR>(name)) != FALSE;
}

}  // namespace velmora
