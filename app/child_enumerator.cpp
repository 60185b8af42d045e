#include "app/child_enumerator.h"

#include <algorithm>
#include <new>

#include "app/accessible.h"
#include "app/com_reference.h"
#include "app/state.h"
#include "ui/elements.h"

namespace {

// One for every QueryInterface and every Clone, each with its own cursor: two readers listing
// the children at once never move each other's place. It is an object of its own, not another
// face of the accessible object, so that COM marshals each one apart and a clone handed to
// another process reaches that clone.
class ChildEnumerator final : public IEnumVARIANT {
public:
    ChildEnumerator(IAccessible* owner, int cursor) noexcept : owner(owner), cursor(cursor) { owner->AddRef(); }
    ~ChildEnumerator() { owner->Release(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        *object = id == IID_IUnknown || id == IID_IEnumVARIANT ? this : nullptr;
        if (!*object) {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references)); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseReference(this, references); }

    // The ids are not consecutive: they stay with their elements.
    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, VARIANT* ids, ULONG* fetched) override {
        ULONG count = 0;
        const HRESULT live = OwnerAnswer(owner);
        Element element = {};
        for (; live == S_OK && ids && count < wanted && ElementAt(CurrentHitContext(), cursor, element); ++cursor) {
            ids[count].vt = VT_I4;
            ids[count++].lVal = ChildIdOf(element);
        }
        if (fetched) {
            *fetched = count;
        }
        return live != S_OK ? live : !ids ? E_INVALIDARG : count == wanted ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        if (const HRESULT live = OwnerAnswer(owner); live != S_OK) {
            return live;
        }
        const int total = ElementCount(CurrentHitContext());
        const ULONG left = cursor < total ? static_cast<ULONG>(total - cursor) : 0;
        cursor += static_cast<int>(std::min(count, left));
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        cursor = 0;
        return OwnerAnswer(owner);
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
        if (!copy) {
            return E_INVALIDARG;
        }
        *copy = nullptr;
        if (const HRESULT live = OwnerAnswer(owner); live != S_OK) {
            return live;
        }
        *copy = NewChildEnumerator(owner, cursor);
        return *copy ? S_OK : E_OUTOFMEMORY;
    }

private:
    LONG references = 1;
    IAccessible* owner;
    int cursor; // a reading position
};

} // namespace

IEnumVARIANT* NewChildEnumerator(IAccessible* owner, int cursor) noexcept {
    return new (std::nothrow) ChildEnumerator(owner, cursor);
}
