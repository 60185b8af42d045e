#include "platform/relative_open.h"

#include <winternl.h>

namespace {

using CreateFileCall = NTSTATUS(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK, PLARGE_INTEGER,
                                        ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
using StatusToErrorCall = ULONG(NTAPI*)(NTSTATUS);

// ntdll is in every process from its first instruction: looking it up loads nothing.
template <typename Function> Function NtdllProc(const char* name) noexcept {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

} // namespace

// Win32 has no open relative to a handle; the kernel's own call takes the folder as the root
// of the name. Case is ignored as CreateFileW ignores it, and the I/O is synchronous, so the
// handle serves ReadFile, WriteFile and the handle queries like any other.
HANDLE OpenInFolder(void* folder, std::wstring_view name, const RelativeOpen& how) noexcept {
    auto create = NtdllProc<CreateFileCall>("NtCreateFile");
    auto toError = NtdllProc<StatusToErrorCall>("RtlNtStatusToDosError");
    if (!create || !toError || !folder || !IsPlainName(name) || name.size() > 255) {
        SetLastError(ERROR_INVALID_NAME);
        return INVALID_HANDLE_VALUE;
    }
    UNICODE_STRING text;
    text.Buffer = const_cast<wchar_t*>(name.data());
    text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    text.MaximumLength = text.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK io = {};
    HANDLE file = INVALID_HANDLE_VALUE;
    const NTSTATUS status =
        create(&file, how.access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, how.share,
               how.disposition, how.options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (status < 0) {
        SetLastError(toError(status));
        return INVALID_HANDLE_VALUE;
    }
    return file;
}
