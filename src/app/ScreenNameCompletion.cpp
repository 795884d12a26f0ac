#include "app/ScreenNameCompletion.h"

#include <objbase.h>
#include <shldisp.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace velmora {
namespace {

// {00BB2763-6A77-11D0-A535-00C04FD7D062}
constexpr CLSID kAutoComplete{0x00BB2763, 0x6A77, 0x11D0, {0xA5, 0x35, 0x00, 0xC0, 0x4F, 0xD7, 0xD0, 0x62}};
// {EAC04BC0-3791-11D2-BB95-0060977B464C}
constexpr IID kAutoComplete2{0xEAC04BC0, 0x3791, 0x11D2, {0xBB, 0x95, 0x00, 0x60, 0x97, 0x7B, 0x46, 0x4C}};
// {3CD141F4-3C6A-11D2-BCAA-00C04FD929DB}
constexpr IID kAutoCompleteDropDown{0x3CD141F4, 0x3C6A, 0x11D2, {0xBC, 0xAA, 0x00, 0xC0, 0x4F, 0xD9, 0x29, 0xDB}};
// {00000101-0000-0000-C000-000000000046}
constexpr IID kEnumString{0x00000101, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00000000-0000-0000-C000-000000000046}
constexpr IID kUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

using CoInitializeExCall = HRESULT(WINAPI*)(LPVOID, DWORD);
using CoUninitializeCall = void(WINAPI*)();
using CoCreateInstanceCall = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
using CoTaskMemAllocCall = LPVOID(WINAPI*)(SIZE_T);

template <typename Call>
Call Find(HMODULE module, const char* name) {
    return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

// The names as the system's autocomplete asks for them, one at a time from the first.
class NameList final : public IEnumString {
public:
    explicit NameList(CoTaskMemAllocCall allocate) : allocate_(allocate) {}

    void Replace(std::vector<std::wstring> names) {
        names_ = std::move(names);
        next_ = 0;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, kUnknown) || IsEqualIID(iid, kEnumString)) {
            *object = static_cast<IEnumString*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, LPOLESTR* out, ULONG* fetched) override {
        if (!out || (wanted != 1 && !fetched)) return E_POINTER;
        ULONG given = 0;
        for (; given < wanted && next_ < names_.size(); ++given, ++next_) {
            const std::wstring& name = names_[next_];
            const SIZE_T bytes = (name.size() + 1) * sizeof(wchar_t);
            auto* copy = static_cast<LPOLESTR>(allocate_(bytes));
            if (!copy) break;
            std::memcpy(copy, name.c_str(), bytes);
            out[given] = copy;
        }
        if (fetched) *fetched = given;
        return given == wanted ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        next_ = std::min<std::size_t>(names_.size(), next_ + count);
        return next_ < names_.size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        next_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumString** copy) override {
        if (!copy) return E_POINTER;
        auto* clone = new (std::nothrow) NameList(allocate_);
        if (!clone) return E_OUTOFMEMORY;
        clone->names_ = names_;
        clone->next_ = next_;
        *copy = clone;
        return S_OK;
    }

private:
    ~NameList() = default;

    LONG references_ = 1;
    CoTaskMemAllocCall allocate_;
    std::vector<std::wstring> names_;
    size_t next_ = 0;
};

ScreenNameCompletion::~ScreenNameCompletion() {
    if (completion_) completion_->Release();
    if (names_) names_->Release();
    if (apartment_) Find<CoUninitializeCall>(ole32_, "CoUninitialize")();
    if (ole32_) FreeLibrary(ole32_);
}

bool ScreenNameCompletion::Attach(HWND edit) {
    if (completion_) return true;
    if (failed_) return false;
    failed_ = true;  // until it has worked
    ole32_ = LoadLibraryW(L"ole32.dll");
    if (!ole32_) return false;
    const auto initialize = Find<CoInitializeExCall>(ole32_, "CoInitializeEx");
    const auto create = Find<CoCreateInstanceCall>(ole32_, "CoCreateInstance");
    const auto allocate = Find<CoTaskMemAllocCall>(ole32_, "CoTaskMemAlloc");
    if (!initialize || !create || !allocate || !Find<CoUninitializeCall>(ole32_, "CoUninitialize")) return false;
    // The autocomplete object lives in the window's own (single-threaded) apartment.
    const HRESULT joined = initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (FAILED(joined)) return false;
    apartment_ = true;
    if (FAILED(create(kAutoComplete, nullptr, CLSCTX_INPROC_SERVER, kAutoComplete2,
                      reinterpret_cast<void**>(&completion_))))
        return false;
    names_ = new (std::nothrow) NameList(allocate);
    if (!names_) return false;
    if (FAILED(completion_->Init(edit, names_, nullptr, nullptr))) return false;
    // Suggested in a list under the box, to be chosen. Not typed ahead: a new name that begins
    // as a stored one would then be stored under the stored one by an Update pressed at once.
    completion_->SetOptions(ACO_AUTOSUGGEST);
    failed_ = false;
    return true;
}

bool ScreenNameCompletion::Offer(HWND edit, std::vector<std::wstring> names) {
    if (!Attach(edit)) return false;
    names_->Replace(std::move(names));
    // Where the system keeps what it enumerated, it forgets it now.
    IAutoCompleteDropDown* dropDown = nullptr;
    if (SUCCEEDED(completion_->QueryInterface(kAutoCompleteDropDown, reinterpret_cast<void**>(&dropDown)))) {
        dropDown->ResetEnumerator();
        dropDown->Release();
    }
    return true;
}

}  // namespace velmora
