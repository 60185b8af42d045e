// Reads the installer window's accessibility tree from another process, as a screen reader
// does, and prints what it finds in UTF-8:
//   reader              "children HRESULT COUNT", then per child in reading order one
//                       tab-separated line: id, role, state (hex), left top width height,
//                       name, description
//   reader ID[,ID] [EVENT]  the default action of each ID in turn ("action HRESULT"); with
//                       EVENT, once the window raised it and 0.3 s more, to see what follows
//                       (hex; 0: once the window is gone) or after 10 s, one line
//                       "event HEX CHILD" per WinEvent of the client area seen; then the above
#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <span>
#include <string>

namespace {

DWORD awaited = 0;
bool seen = false;

void Print(const std::wstring& text) {
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(
        static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                                static_cast<int>(bytes.size()), nullptr, nullptr)));
    std::fputs(bytes.c_str(), stdout);
}

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT) {
        std::printf("event %04lx %ld\n", event, child);
        seen |= event == awaited;
    }
}

VARIANT Child(long id) {
    VARIANT child = {};
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::wstring Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), IAccessible* client, VARIANT id) {
    BSTR text = nullptr;
    (client->*get)(id, &text);
    std::wstring result = text ? text : L"";
    SysFreeString(text);
    return result;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HWND window = FindWindowW(L"KestrovaneSetup", nullptr);
    IAccessible* client = nullptr;
    if (!window || FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                     reinterpret_cast<void**>(&client)))) {
        return 1;
    }
    if (argc >= 2) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        awaited = argc == 3 ? std::wcstoul(argv[2], nullptr, 16) : 0;
        SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr, OnEvent, process, 0,
                        WINEVENT_OUTOFCONTEXT);
        wchar_t* next = argv[1];
        do {
            std::printf("action %08lx\n", client->accDoDefaultAction(Child(std::wcstol(next, &next, 10))));
        } while (*next++ == L',');
        for (ULONGLONG end = GetTickCount64() + (argc == 3 ? 10000 : 0), settled = 0;
             GetTickCount64() < end && (awaited || IsWindow(window));) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&message);
            }
            if (seen && !settled) {
                end = settled = GetTickCount64() + 300;
            }
        }
    }
    // As screen readers list children: ids from the container's enumerator, in reading order.
    long count = 0;
    const HRESULT counted = client->get_accChildCount(&count);
    std::printf("children %08lx %ld\n", counted, count);
    VARIANT ids[64] = {};
    AccessibleChildren(client, 0, std::min(count, 64L), ids, &count);
    for (VARIANT& id : std::span(ids, static_cast<size_t>(count))) {
        VARIANT role = {}, state = {};
        long left = 0, top = 0, width = 0, height = 0;
        client->get_accRole(id, &role);
        client->get_accState(id, &state);
        client->accLocation(&left, &top, &width, &height, id);
        std::printf("%ld\t%ld\t%lx\t%ld %ld %ld %ld\t", id.lVal, role.lVal, state.lVal, left, top, width, height);
        Print(Text(&IAccessible::get_accName, client, id) + L"\t" + Text(&IAccessible::get_accDescription, client, id) +
              L"\n");
    }
    client->Release();
    CoUninitialize();
    return 0;
}
