#include "app/uia_element.h"

#include <uiautomationcore.h>

#include <new>

#include "app/accessible.h"
#include "app/com_reference.h"
#include "ui/elements.h"

namespace {

// UIA_LiveSettingPropertyId and its Polite value; MinGW's headers that define them do not compile.
constexpr PROPERTYID LiveSettingProperty = 30135;
constexpr int PoliteLiveSetting = 1;

// The client area (CHILDID_SELF) or one of its elements, for UI Automation. Only the status
// line has something of its own to say; everything else comes from the IAccessible answers.
class UiaElement final : public IAccessibleEx, public IRawElementProviderSimple {
public:
    UiaElement(IAccessible* owner, long childId) noexcept : owner(owner), childId(childId) { owner->AddRef(); }
    ~UiaElement() { owner->Release(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        if (id == IID_IUnknown || id == IID_IAccessibleEx) {
            *object = static_cast<IAccessibleEx*>(this);
        } else if (id == IID_IRawElementProviderSimple) {
            *object = static_cast<IRawElementProviderSimple*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references)); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseReference(this, references); }

    // Only the status line has an object here: for the other elements there is nothing to add.
    HRESULT STDMETHODCALLTYPE GetObjectForChild(LONG id, IAccessibleEx** element) override {
        if (!element) {
            return E_INVALIDARG;
        }
        *element = nullptr;
        if (const HRESULT live = OwnerAnswer(owner); live != S_OK) {
            return live;
        }
        if (childId == CHILDID_SELF && id == ChildIdOf({ElementKind::StatusLine, 0})) {
            *element = new (std::nothrow) UiaElement(owner, id);
            return *element ? S_OK : E_OUTOFMEMORY;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIAccessiblePair(IAccessible** accessible, LONG* id) override {
        if (!accessible || !id) {
            return E_INVALIDARG;
        }
        owner->AddRef();
        *accessible = owner;
        *id = childId;
        return S_OK;
    }
    // The proxy then tells elements apart by their IAccessible answers.
    HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY** id) override {
        if (id) {
            *id = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ConvertReturnedElement(IRawElementProviderSimple*, IAccessibleEx** element) override {
        if (element) {
            *element = nullptr;
        }
        return E_NOTIMPL;
    }

    // Called on the window's thread through COM, like the IAccessible methods.
    HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* options) override {
        if (!options) {
            return E_INVALIDARG;
        }
        *options = static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider | ProviderOptions_UseComThreading);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID, IUnknown** pattern) override {
        if (!pattern) {
            return E_INVALIDARG;
        }
        *pattern = nullptr;
        return OwnerAnswer(owner);
    }
    // Empty for every property but the status line's live setting: the proxy answers the rest.
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* value) override {
        if (!value) {
            return E_INVALIDARG;
        }
        value->vt = VT_EMPTY;
        const HRESULT live = OwnerAnswer(owner);
        if (live == S_OK && property == LiveSettingProperty && childId != CHILDID_SELF) {
            value->vt = VT_I4;
            value->lVal = PoliteLiveSetting;
        }
        return live;
    }
    HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** host) override {
        if (!host) {
            return E_INVALIDARG;
        }
        *host = nullptr;
        return OwnerAnswer(owner);
    }

private:
    LONG references = 1;
    IAccessible* owner;
    long childId;
};

} // namespace

HRESULT QueryAccessibleEx(IAccessible* owner, REFIID id, void** object) noexcept {
    UiaElement* self = new (std::nothrow) UiaElement(owner, CHILDID_SELF);
    if (!self) {
        return E_OUTOFMEMORY;
    }
    const HRESULT result = self->QueryInterface(id, object);
    self->Release();
    return result;
}
