#include "app/accessible.h"

#include <servprov.h>
#include <uiautomationcore.h>

#include <new>

#include "app/child_enumerator.h"
#include "app/com_reference.h"
#include "app/state.h"
#include "app/uia_element.h"
#include "app/window_proc.h"
#include "platform/system_library.h"
#include "ui/element_text.h"
#include "ui/elements.h"

// A new object for every request, as Windows' own controls give every client an object of its
// own: COM keeps one interface stub per object and interface, so readers in two processes that
// shared one object would share its enumerator and move each other's place in it. The objects
// hold nothing but the window and read the state record on each call, so they all say the same
// and none holds anything that could go stale; after the window is gone they answer nothing but
// that it is gone. Child ids name elements (ui/elements.h), checked against what is on screen at
// the moment of each call; the enumerators (app/child_enumerator.h) give them in reading order.
class WindowAccessible final : public IAccessible, public IServiceProvider {
public:
    explicit WindowAccessible(HWND window) noexcept : window(window) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        if (id == IID_IUnknown || id == IID_IDispatch || id == IID_IAccessible) {
            *object = static_cast<IAccessible*>(this);
        } else if (id == IID_IServiceProvider) {
            *object = static_cast<IServiceProvider*>(this);
        } else if (id == IID_IEnumVARIANT) {
            *object = NewChildEnumerator(this, 0);
            return *object ? S_OK : E_OUTOFMEMORY;
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references)); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseReference(this, references); }

    // No type library: readers use the IAccessible methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) {
            return E_INVALIDARG;
        }
        *count = 0;
        return Connected() ? S_OK : Gone;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (!info) {
            return E_INVALIDARG;
        }
        *info = nullptr;
        return NotImplemented();
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return NotImplemented();
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return NotImplemented();
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent) {
            return E_INVALIDARG;
        }
        *parent = nullptr;
        if (!Connected()) {
            return Gone;
        }
        auto fromWindow =
            GetSystemProc<decltype(&AccessibleObjectFromWindow)>(SystemLibrary::Oleacc, "AccessibleObjectFromWindow");
        return fromWindow ? fromWindow(window, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                       reinterpret_cast<void**>(parent))
                          : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count) {
            return E_INVALIDARG;
        }
        *count = Connected() ? ElementCount(CurrentHitContext()) : 0;
        return Connected() ? S_OK : Gone;
    }
    // The children are simple elements without objects of their own.
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        if (!object) {
            return E_INVALIDARG;
        }
        *object = nullptr;
        Element element = {};
        HRESULT result = Resolve(child, element);
        return result == S_OK ? S_FALSE : FAILED(result) ? result : E_INVALIDARG;
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override { return Answer(child, name, NameOf); }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Answer(child, value, ValueOf);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return Answer(child, description, DescriptionOf);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return Answer(child, help, HelpOf); }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return Answer(child, shortcut, NoText);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Answer(child, action, DefaultActionOf);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        if (!topic) {
            return E_INVALIDARG;
        }
        *topic = -1;
        return Answer(child, file, NoText);
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return AnswerNumber(child, role, [](const Element* element, HWND) { return RoleOf(element); });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* value) override {
        return AnswerNumber(child, value, StateOf);
    }

    // The window has no focus or selection inside: only the client area itself takes the focus.
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!focus) {
            return E_INVALIDARG;
        }
        focus->vt = VT_EMPTY;
        if (!Connected()) {
            return Gone;
        }
        return GetFocus() == window ? ReturnChild(CHILDID_SELF, focus) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (!selection) {
            return E_INVALIDARG;
        }
        selection->vt = VT_EMPTY;
        return Connected() ? S_FALSE : Gone;
    }
    // Taking the selection chooses a language, as it checks a radio button of Windows' own; the
    // focus stays with the client area, as nothing inside takes it.
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        Element element = {};
        HRESULT result = Resolve(child, element);
        if (FAILED(result)) {
            return result;
        }
        return result == S_OK && element.kind == ElementKind::Language && (flags & SELFLAG_TAKESELECTION)
                   ? PostAction(ElementRoute(CurrentHitContext(), element))
                   : DISP_E_MEMBERNOTFOUND;
    }

    // The rectangle painting and clicks use, in screen pixels.
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        if (!left || !top || !width || !height) {
            return E_INVALIDARG;
        }
        *left = *top = *width = *height = 0;
        Element element = {};
        HRESULT result = Resolve(child, element);
        if (FAILED(result)) {
            return result;
        }
        RECT client = {};
        GetClientRect(window, &client);
        Rect rect =
            result == S_OK ? ElementRect(CurrentHitContext(), element) : Rect{0, 0, client.right, client.bottom};
        POINT origin = {rect.left, rect.top};
        ClientToScreen(window, &origin);
        *left = origin.x;
        *top = origin.y;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }

    // In reading order: from the client area to its first or last child, from a child to the next
    // or previous one.
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!end) {
            return E_INVALIDARG;
        }
        end->vt = VT_EMPTY;
        Element element = {};
        HRESULT result = Resolve(start, element);
        if (FAILED(result)) {
            return result;
        }
        const HitContext context = CurrentHitContext();
        int position = -1;
        if (result == Self && (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD)) {
            position = direction == NAVDIR_FIRSTCHILD ? 0 : ElementCount(context) - 1;
        } else if (result == S_OK && (direction == NAVDIR_NEXT || direction == NAVDIR_PREVIOUS)) {
            position = PositionOf(context, element) + (direction == NAVDIR_NEXT ? 1 : -1);
        }
        return ElementAt(context, position, element) ? ReturnChild(ChildIdOf(element), end) : S_FALSE;
    }

    // The element a click at the point would act on, so overlaps resolve as clicks do.
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        if (!child) {
            return E_INVALIDARG;
        }
        child->vt = VT_EMPTY;
        if (!Connected()) {
            return Gone;
        }
        POINT point = {x, y};
        RECT client = {};
        ScreenToClient(window, &point);
        GetClientRect(window, &client);
        if (!PtInRect(&client, point)) {
            return S_FALSE;
        }
        Element element = {};
        bool found = ElementAtPoint(CurrentHitContext(), point.x, point.y, element);
        return ReturnChild(found ? ChildIdOf(element) : CHILDID_SELF, child);
    }

    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        Element element = {};
        HRESULT result = Resolve(child, element);
        if (FAILED(result)) {
            return result;
        }
        ClickRoute route =
            result == S_OK ? ElementRoute(CurrentHitContext(), element) : ClickRoute{ClickTarget::None, 0};
        return route.target == ClickTarget::None ? DISP_E_MEMBERNOTFOUND : PostAction(route);
    }

    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return NotImplemented(); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return NotImplemented(); }

    // Only the UI Automation side of the client area is offered here (app/uia_element.h).
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID id, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        if (!Connected()) {
            return Gone;
        }
        return service == IID_IAccessibleEx ? QueryAccessibleEx(this, id, object) : E_NOINTERFACE;
    }

private:
    static constexpr HRESULT Gone = RPC_E_DISCONNECTED;
    static constexpr HRESULT Self = S_FALSE; // from Resolve: the id names the client area itself

    // Until WM_DESTROY, which forgets the window.
    bool Connected() const noexcept { return window == state.window; }

    HRESULT NotImplemented() const noexcept { return Connected() ? E_NOTIMPL : Gone; }

    static HRESULT ReturnChild(long id, VARIANT* out) noexcept {
        out->vt = VT_I4;
        out->lVal = id;
        return S_OK;
    }

    // Every call with a child id starts here: only a VT_I4 naming the client area itself (Self) or
    // an element on screen now (S_OK) passes.
    HRESULT Resolve(const VARIANT& child, Element& element) const noexcept {
        if (!Connected()) {
            return Gone;
        }
        if (child.vt != VT_I4) {
            return E_INVALIDARG;
        }
        if (child.lVal == CHILDID_SELF) {
            return Self;
        }
        return ElementOfChildId(CurrentHitContext(), child.lVal, element) ? S_OK : E_INVALIDARG;
    }

    // Returns at once: the action runs from the window's own queue, so a reader never waits on
    // an install or on the folder dialog. It carries the screen generation the reader had been
    // told of, so that it is dropped if the screen changed in between: a second "Install" that
    // waited behind the first must not close the window as the "Close" it has become.
    HRESULT PostAction(const ClickRoute& route) const noexcept {
        const WPARAM request = static_cast<WPARAM>(route.target) | static_cast<WPARAM>(state.toldGeneration) << 32;
        return PostMessageW(window, DefaultActionMessage, request, route.index) ? S_OK : E_FAIL;
    }

    template <typename Compose> HRESULT Answer(const VARIANT& child, BSTR* out, Compose compose) const noexcept {
        if (!out) {
            return E_INVALIDARG;
        }
        *out = nullptr;
        Element element = {};
        HRESULT result = Resolve(child, element);
        if (FAILED(result)) {
            return result;
        }
        try {
            Text text = compose(result == S_OK ? &element : nullptr);
            if (!text) {
                return DISP_E_MEMBERNOTFOUND;
            }
            // Looked up, not imported: only a screen reader needs oleaut32, so a run that none
            // asks of never loads it into the elevated process.
            auto allocate = GetSystemProc<decltype(&SysAllocStringLen)>(SystemLibrary::Oleaut32, "SysAllocStringLen");
            *out = allocate ? allocate(text->data(), static_cast<UINT>(text->size())) : nullptr;
            return *out ? S_OK : E_OUTOFMEMORY;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

    template <typename Compose>
    HRESULT AnswerNumber(const VARIANT& child, VARIANT* out, Compose compose) const noexcept {
        if (!out) {
            return E_INVALIDARG;
        }
        out->vt = VT_EMPTY;
        Element element = {};
        HRESULT result = Resolve(child, element);
        return FAILED(result) ? result : ReturnChild(compose(result == S_OK ? &element : nullptr, window), out);
    }

    LONG references = 1;
    HWND window;
};

// Answered for the client area only; the frame and everything else are Windows' own. A request
// that comes while the window is being destroyed gets Windows' own object too: nothing of ours
// is made for a window that is going. Windows sends this message to every window whenever any UI Automation
// client runs, so the object id is checked before oleacc is looked up: a run without a reader
// loads neither oleacc nor oleaut32. oleacc is not a KnownDLL, so it comes from System32 at run
// time like the other such DLLs.
LRESULT OnGetObject(HWND window, WPARAM wParam, LPARAM lParam) noexcept {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || window != state.window) {
        return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
    }
    auto fromObject = GetSystemProc<decltype(&LresultFromObject)>(SystemLibrary::Oleacc, "LresultFromObject");
    if (!fromObject) {
        return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
    }
    WindowAccessible* object = new (std::nothrow) WindowAccessible(window);
    if (!object) {
        return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
    }
    // The reader's reference travels in the result; ours is not kept.
    const LRESULT result = fromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(object));
    object->Release();
    return result;
}

HRESULT OwnerAnswer(IAccessible* owner) noexcept {
    long count = 0;
    const HRESULT result = owner->get_accChildCount(&count);
    return FAILED(result) ? result : S_OK;
}
