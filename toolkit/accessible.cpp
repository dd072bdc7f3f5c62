#include "toolkit/accessible.h"

#include <oleacc.h>

#include <new>

#include "toolkit/com_apartment.h"
#include "toolkit/system_library.h"

namespace tk {

static_assert(static_cast<LONG>(TAccessibleRole::StaticText) == ROLE_SYSTEM_STATICTEXT);
static_assert(static_cast<LONG>(TAccessibleRole::ProgressBar) == ROLE_SYSTEM_PROGRESSBAR);

namespace {

bool TextIsValue(TAccessibleRole role) { return role == TAccessibleRole::ProgressBar; }

// Static text is a live region: screen readers read out each new text of it.
bool IsLiveRegion(TAccessibleRole role) { return role == TAccessibleRole::StaticText; }
// EVENT_OBJECT_LIVEREGIONCHANGED, which the headers declare for Windows 8 on;
// an older system passes it on to whoever listens for it, or to no one.
constexpr DWORD LiveRegionChanged = 0x8019;

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// Loaded from the system folder at a screen reader's first request and kept
// for the life of the process.
HMODULE oleacc = nullptr;

// Loaded from the system folder at the first name asked for, and kept.
HMODULE Automation() {
    static const HMODULE module = LoadSystemLibrary("oleaut32.dll");
    return module;
}

// A window's text as a BSTR for the caller to free, read wide since a BSTR is.
HRESULT WindowText(HWND hwnd, BSTR* text) {
    const auto allocString =
        SystemEntry<BSTR(WINAPI*)(const OLECHAR*, UINT)>(Automation(), "SysAllocStringLen");
    const int length = GetWindowTextLengthW(hwnd);
    *text = allocString ? allocString(nullptr, length) : nullptr;
    if (!*text) return E_OUTOFMEMORY;
    GetWindowTextW(hwnd, *text, length + 1);
    return S_OK;
}

// The standard object of a window, with the role, name, value and state that
// the control gives; where it is and what is around it are the standard
// object's answers.
class TAccessible final : public IAccessible {
public:
    TAccessible(IAccessible* standard, HWND hwnd, TAccessibleRole role)
        : std_(standard), hwnd_(hwnd), role_(role) {}
    TAccessible(const TAccessible&) = delete;
    TAccessible& operator=(const TAccessible&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid != __uuidof(IUnknown) && iid != __uuidof(IDispatch) &&
            iid != __uuidof(IAccessible)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return left;
    }

    // The object has no children: it answers for itself only.
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child)) return E_INVALIDARG;
        role->vt = VT_I4;
        role->lVal = static_cast<LONG>(role_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child)) return E_INVALIDARG;
        return WindowText(TextIsValue(role_) ? GetAncestor(hwnd_, GA_PARENT) : hwnd_, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!IsSelf(child)) return E_INVALIDARG;
        if (TextIsValue(role_)) return WindowText(hwnd_, value);
        *value = nullptr;
        return DISP_E_MEMBERNOTFOUND;
    }
    // Read-only, as a text or a gauge is; invisible also when its parent is hidden.
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!IsSelf(child)) return E_INVALIDARG;
        state->vt = VT_I4;
        state->lVal = STATE_SYSTEM_READONLY | (IsWindowVisible(hwnd_) ? 0 : STATE_SYSTEM_INVISIBLE);
        return S_OK;
    }

    // Where the object is and what is around it: the standard object knows.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return std_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return std_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return std_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return std_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return std_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return std_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return std_->accHitTest(x, y, child);
    }

    // A text or a gauge has no children, action, shortcut, help or description,
    // and takes nothing from a screen reader.
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch**) override { return E_INVALIDARG; }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR*) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR*, VARIANT, LONG*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;  // no type information: GetTypeInfo has none to give
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

private:
    ~TAccessible() { std_->Release(); }

    IAccessible* const std_;
    const HWND hwnd_;
    const TAccessibleRole role_;
    LONG references_ = 1;
};

// oleacc's annotation service and its key for UI Automation's LiveSetting
// property, which Polite (1) sets to "read after what is being read now".
constexpr CLSID AccPropServicesClass{
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID AccPropServicesInterface{
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID LiveSettingProperty{
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG LivePolite = 1;

// Marks the window's client object as a polite live region. Where the service
// is missing or refuses, the text is still there and its changes still raised.
void AnnotateLiveRegion(HWND hwnd) {
    const auto create = SystemEntry<HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**)>(
        JoinComApartment(), "CoCreateInstance");
    IAccPropServices* services = nullptr;
    if (!create || create(AccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                          AccPropServicesInterface, reinterpret_cast<void**>(&services)) != S_OK)
        return;
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = LivePolite;
    services->SetHwndProp(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, LiveSettingProperty,
                          polite);
    services->Release();
}

}  // namespace

LRESULT AccessibleObject(HWND hwnd, WPARAM flags, TAccessibleRole role) {
    if (!oleacc) {
        // A server's thread joins COM before it hands out objects; this one's
        // message loop serves them.
        JoinComApartment();
        oleacc = LoadSystemLibrary("oleacc.dll");
    }
    const auto createStandard = SystemEntry<HRESULT(WINAPI*)(HWND, LONG, REFIID, void**)>(
        oleacc, "CreateStdAccessibleObject");
    const auto resultFromObject =
        SystemEntry<LRESULT(WINAPI*)(REFIID, WPARAM, IUnknown*)>(oleacc, "LresultFromObject");
    IAccessible* standard = nullptr;
    if (!createStandard || !resultFromObject ||
        createStandard(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                       reinterpret_cast<void**>(&standard)) != S_OK)
        return 0;
    auto* object = new (std::nothrow) TAccessible(standard, hwnd, role);
    if (!object) {
        standard->Release();
        return 0;
    }
    // Annotated before the reader holds the object, so the setting is there for
    // the first change it hears of.
    if (IsLiveRegion(role)) AnnotateLiveRegion(hwnd);
    const LRESULT result = resultFromObject(__uuidof(IAccessible), flags, object);
    object->Release();  // the reference is the caller's now
    return result > 0 ? result : 0;
}

void NotifyAccessibleTextChange(HWND hwnd, TAccessibleRole role) {
    NotifyWinEvent(TextIsValue(role) ? EVENT_OBJECT_VALUECHANGE : EVENT_OBJECT_NAMECHANGE, hwnd,
                   OBJID_CLIENT, CHILDID_SELF);
    // A name change is read only for the focused object; a live region's always.
    if (IsLiveRegion(role)) NotifyWinEvent(LiveRegionChanged, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace tk
