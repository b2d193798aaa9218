// The system's accessibility property service, which gives a control our name, and the wrapper of
// its standard accessible object that answers with our name and read-only state where it cannot.
// Their libraries are bound when a screen reader first asks, since most runs never need them.
#include "forms/win32/accessible_name.h"

#include <oleacc.h>

#include <algorithm>
#include <atomic>
#include <new>
#include <string>

#include "forms/win32/form_host_internal.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/late_binding.h"

namespace tivora::win32 {

namespace {

// IAccessible's interface identifier, kept here so that no import library is needed for it.
constexpr GUID accessibleId{0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr GUID dispatchId{0x00020400, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID unknownId{0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

bool isSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

class NamedAccessible final : public IAccessible {
public:
    NamedAccessible(IAccessible* standard, HWND control, BSTR name, bool readOnly, bool comboBox)
        : standard_(standard), control_(control), name_(name), readOnly_(readOnly), comboBox_(comboBox) {
        standard_->AddRef();
    }
    NamedAccessible(const NamedAccessible&) = delete;
    NamedAccessible& operator=(const NamedAccessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        if (IsEqualGUID(id, accessibleId) || IsEqualGUID(id, dispatchId) || IsEqualGUID(id, unknownId)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // Only what it answers for as itself: handed the system object's other interfaces
        // (IEnumVARIANT, IOleWindow ...), a client would reach the plain object through them and
        // lose the name; without them it asks through IAccessible, which answers all of it.
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(id, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* wrong) override {
        return standard_->Invoke(member, id, locale, flags, parameters, result, exception, wrong);
    }

    // IAccessible: ours for the control's name and state, the system's for everything else.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!isSelf(child) || !name_) {
            return standard_->get_accName(child, name);
        }
        if (!name) {
            return E_POINTER;
        }
        *name = sysAllocString()(name_);
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        HRESULT result = standard_->get_accState(child, state);
        if (SUCCEEDED(result) && readOnly_ && isSelf(child) && state && state->vt == VT_I4) {
            state->lVal |= STATE_SYSTEM_READONLY;
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        HRESULT result = standard_->get_accValue(child, value);
        if (comboBox_ && isSelf(child) && value && (FAILED(result) || !*value)) {
            // A combo box is announced with the text it shows.
            *value = sysAllocString()(detail::windowText(control_).c_str());
            return *value ? S_OK : E_OUTOFMEMORY;
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return standard_->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        HRESULT result = standard_->get_accRole(child, role);
        if (comboBox_ && isSelf(child) && SUCCEEDED(result) && role && role->vt == VT_I4 &&
            role->lVal == ROLE_SYSTEM_CLIENT) {
            role->lVal = ROLE_SYSTEM_COMBOBOX;
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override {
        return standard_->accHitTest(left, top, child);
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

    using SysAllocStringFn = BSTR(WINAPI*)(const OLECHAR*);
    static SysAllocStringFn sysAllocString() {
        static auto allocate = lateBound<SysAllocStringFn>(L"oleaut32.dll", "SysAllocString");
        return allocate;
    }

private:
    ~NamedAccessible() {
        standard_->Release();
        if (name_) {
            static auto free = lateBound<void(WINAPI*)(BSTR)>(L"oleaut32.dll", "SysFreeString");
            free(name_);
        }
    }

    IAccessible* standard_;
    HWND control_;
    BSTR name_;  // nullptr: the system's name
    bool readOnly_;
    bool comboBox_;
    std::atomic<ULONG> references_{1};
};

// The service's class and the properties the program gives.
constexpr GUID propertyServicesClass{
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID propertyServicesId{
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID nameProperty{0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr GUID roleProperty{0xcb905ff2, 0x7bd1, 0x4c05, {0xb3, 0xc8, 0xe6, 0xc2, 0x41, 0x36, 0x4d, 0x70}};

class SystemProperties final : public AccessibleProperties {
public:
    bool annotate(HWND control, const AccessibleFacts& facts) override {
        bool taken = false;
        withService([&](IAccPropServices& service) {
            taken = facts.name.empty() || SUCCEEDED(service.SetHwndPropStr(control, self, CHILDID_SELF,
                                                                           nameProperty, facts.name.c_str()));
            if (taken && facts.comboBox) {
                VARIANT role{};
                role.vt = VT_I4;
                role.lVal = ROLE_SYSTEM_COMBOBOX;
                taken = SUCCEEDED(service.SetHwndProp(control, self, CHILDID_SELF, roleProperty, role));
            }
            if (!taken) {
                clearWith(service, control);  // all or nothing: the wrapper answers instead
            }
        });
        return taken;
    }
    void clear(HWND control) override {
        withService([&](IAccPropServices& service) { clearWith(service, control); });
    }

private:
    static constexpr DWORD self = static_cast<DWORD>(OBJID_CLIENT);

    // Runs use with the service, made for the purpose and let go after: it is needed only when a
    // screen reader first asks and when an annotated window goes; nothing when it cannot be had.
    template <class Use>
    static void withService(Use use) {
        using CreateFn = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
        auto create = lateBound<CreateFn>(L"ole32.dll", "CoCreateInstance");
        IAccPropServices* service = nullptr;
        if (create && enterComApartment() &&
            SUCCEEDED(create(propertyServicesClass, nullptr, CLSCTX_INPROC_SERVER, propertyServicesId,
                             reinterpret_cast<void**>(&service))) &&
            service) {
            use(*service);
            service->Release();
        }
    }
    static void clearWith(IAccPropServices& service, HWND control) {
        MSAAPROPID given[] = {nameProperty, roleProperty};
        service.ClearHwndProps(control, self, CHILDID_SELF, given, 2);
    }
};

}  // namespace

AccessibleProperties& systemAccessibleProperties() {
    static SystemProperties service;
    return service;
}

std::optional<LRESULT> namedAccessibleObject(HWND control, WPARAM wParam, LPARAM objectId,
                                             const AccessibleFacts& facts) {
    if (static_cast<LONG>(objectId) != OBJID_CLIENT) {
        return std::nullopt;
    }
    using CreateStandardFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    auto createStandard = lateBound<CreateStandardFn>(L"oleacc.dll", "CreateStdAccessibleObject");
    auto lresultFromObject = lateBound<LresultFromObjectFn>(L"oleacc.dll", "LresultFromObject");
    auto allocate = NamedAccessible::sysAllocString();
    if (!createStandard || !lresultFromObject || !allocate) {
        return std::nullopt;
    }
    if (!enterComApartment()) {
        return std::nullopt;  // the object could not reach the screen reader's process
    }
    IAccessible* standard = nullptr;
    if (FAILED(createStandard(control, OBJID_CLIENT, accessibleId, reinterpret_cast<void**>(&standard))) ||
        !standard) {
        return std::nullopt;
    }
    auto* named = new (std::nothrow)
        NamedAccessible(standard, control, facts.name.empty() ? nullptr : allocate(facts.name.c_str()),
                        facts.readOnly, facts.comboBox);
    standard->Release();
    if (!named) {
        return std::nullopt;
    }
    LRESULT answer = lresultFromObject(accessibleId, wParam, named);
    named->Release();  // the answer holds its own reference
    if (FAILED(static_cast<HRESULT>(answer))) {
        return std::nullopt;  // the client gets the system's own object rather than nothing
    }
    return answer;
}

}  // namespace tivora::win32
