#pragma once
// Counts what a test process holds: live GDI objects and kernel handles.
//
// Wine implements GetGuiResources and GetProcessHandleCount as stubs that answer 0, so
// they cannot show a leak there. Kernel handles are counted from the system handle table
// (NtQuerySystemInformation, extended handle information), which Wine fills in. GDI
// objects are counted by routing this module's own imports of the GDI creation and
// deletion functions through counters: the code under test is linked into the test exe
// and calls GDI through the same import table.
#include <windows.h>
#include <winternl.h>

#include <cstring>
#include <set>
#include <vector>

namespace kvtest {

struct GdiCounts {
    std::set<HGDIOBJ> live; // created through a tracked function and not yet deleted
    long deletedWhileSelected = 0;
    long failedDeletes = 0;
};

inline GdiCounts& Gdi() {
    static GdiCounts counts;
    return counts;
}

// Replaces one imported function of this exe by name and returns the original, or null
// when the exe does not import it. The code under test is linked into the test exe, so
// its calls go through these slots too.
inline void* PatchImport(const char* dll, const char* name, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); desc->Name; ++desc) {
        if (_stricmp(reinterpret_cast<char*>(base + desc->Name), dll) != 0) {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<char*>(byName->Name), name) != 0) {
                continue;
            }
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
            void* original = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof(void*), old, &old);
            return original;
        }
    }
    return nullptr;
}

namespace detail {

template <typename Fn> inline Fn& Original() {
    static Fn original = nullptr;
    return original;
}

inline HGDIOBJ Track(HGDIOBJ object) {
    if (object) {
        Gdi().live.insert(object);
    }
    return object;
}

// An object still selected into a DC is not freed by DeleteObject on Windows: the
// caller must select the old object back first.
inline bool IsSelectedSomewhere(HGDIOBJ object, HDC dc) {
    if (!dc) {
        return false;
    }
    DWORD type = GetObjectType(object);
    UINT kind = type == OBJ_BRUSH    ? OBJ_BRUSH
                : type == OBJ_PEN    ? OBJ_PEN
                : type == OBJ_FONT   ? OBJ_FONT
                : type == OBJ_BITMAP ? OBJ_BITMAP
                                     : 0;
    return kind && GetCurrentObject(dc, kind) == object;
}

inline std::set<HDC>& LiveDcs() {
    static std::set<HDC> dcs;
    return dcs;
}

inline HBRUSH WINAPI CreateSolidBrushHook(COLORREF c) {
    return static_cast<HBRUSH>(Track(Original<decltype(&CreateSolidBrush)>()(c)));
}
inline HPEN WINAPI CreatePenHook(int style, int width, COLORREF c) {
    return static_cast<HPEN>(Track(Original<decltype(&CreatePen)>()(style, width, c)));
}
inline HFONT WINAPI CreateFontWHook(int h, int w, int e, int o, int weight, DWORD i, DWORD u, DWORD s, DWORD cs,
                                    DWORD op, DWORD cp, DWORD q, DWORD pf, LPCWSTR face) {
    return static_cast<HFONT>(
        Track(Original<decltype(&CreateFontW)>()(h, w, e, o, weight, i, u, s, cs, op, cp, q, pf, face)));
}
inline HBITMAP WINAPI CreateCompatibleBitmapHook(HDC dc, int w, int h) {
    return static_cast<HBITMAP>(Track(Original<decltype(&CreateCompatibleBitmap)>()(dc, w, h)));
}
inline HDC WINAPI CreateCompatibleDCHook(HDC dc) {
    HDC created = Original<decltype(&CreateCompatibleDC)>()(dc);
    if (created) {
        LiveDcs().insert(created);
        Track(created);
    }
    return created;
}
inline BOOL WINAPI DeleteDCHook(HDC dc) {
    BOOL ok = Original<decltype(&DeleteDC)>()(dc);
    if (ok) {
        LiveDcs().erase(dc);
        Gdi().live.erase(dc);
    } else {
        ++Gdi().failedDeletes;
    }
    return ok;
}
inline BOOL WINAPI DeleteObjectHook(HGDIOBJ object) {
    for (HDC dc : LiveDcs()) {
        if (IsSelectedSomewhere(object, dc)) {
            ++Gdi().deletedWhileSelected;
        }
    }
    BOOL ok = Original<decltype(&DeleteObject)>()(object);
    if (ok) {
        Gdi().live.erase(object);
    } else if (object) {
        ++Gdi().failedDeletes;
    }
    return ok;
}

template <typename Fn> inline void Hook(const char* name, Fn replacement) {
    if (!Original<Fn>()) {
        Original<Fn>() = reinterpret_cast<Fn>(PatchImport("gdi32.dll", name, reinterpret_cast<void*>(replacement)));
    }
}

} // namespace detail

// Starts counting GDI objects made through the tracked functions. Idempotent.
inline bool TrackGdiObjects() {
    using namespace detail;
    Hook<decltype(&CreateSolidBrush)>("CreateSolidBrush", &CreateSolidBrushHook);
    Hook<decltype(&CreatePen)>("CreatePen", &CreatePenHook);
    Hook<decltype(&CreateFontW)>("CreateFontW", &CreateFontWHook);
    Hook<decltype(&CreateCompatibleBitmap)>("CreateCompatibleBitmap", &CreateCompatibleBitmapHook);
    Hook<decltype(&CreateCompatibleDC)>("CreateCompatibleDC", &CreateCompatibleDCHook);
    Hook<decltype(&DeleteDC)>("DeleteDC", &DeleteDCHook);
    Hook<decltype(&DeleteObject)>("DeleteObject", &DeleteObjectHook);
    return Original<decltype(&CreateSolidBrush)>() && Original<decltype(&DeleteObject)>() &&
           Original<decltype(&CreateFontW)>();
}

// Kernel handles this process holds, from the system handle table.
inline long KernelHandleCount() {
    struct Entry {
        PVOID object;
        ULONG_PTR processId;
        ULONG_PTR handle;
        ULONG access;
        USHORT backTrace;
        USHORT type;
        ULONG attributes;
        ULONG reserved;
    };
    struct Table {
        ULONG_PTR count;
        ULONG_PTR reserved;
        Entry entries[1];
    };
    using QueryFn = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    constexpr ULONG SystemExtendedHandleInformation = 64;
    std::vector<char> buffer(1 << 20);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        NTSTATUS status =
            query(SystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) {
            const auto* table = reinterpret_cast<const Table*>(buffer.data());
            long count = 0;
            for (ULONG_PTR i = 0; i < table->count; ++i) {
                count += table->entries[i].processId == GetCurrentProcessId();
            }
            return count;
        }
        buffer.resize(buffer.size() * 2);
    }
    return -1;
}

} // namespace kvtest
