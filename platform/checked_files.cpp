#include "platform/checked_files.h"

#include <windows.h>

#include <vector>

#include "platform/entry_rule.h"
#include "platform/file_system.h"
#include "platform/not_found_rule.h"
#include "platform/path.h"
#include "platform/relative_open.h"

// Why each step is safe against a standard user who can pause the run between any two calls:
// - The name is opened relative to the held folder's handle, as itself (a link is opened, not
//   followed), so nothing above or at the folder is resolved again.
// - What is opened is checked on the handle that then writes or deletes: a link, a second name
//   or an entry that resolves elsewhere is refused, and a swap after the open changes nothing,
//   since the handle keeps naming what was checked.
// - A file is cut to length 0 only after the check: a refused one keeps its content.
// - A folder being removed is held, without delete sharing, for as long as it is walked; its
//   entries are listed through that handle and each is opened relative to it, checked, and
//   removed through its own handle. A child swapped for a junction between the listing and its
//   open (timed with an oplock, say) is opened as the junction and removed as a link.
namespace {

static_assert(DirectoryAttribute == FILE_ATTRIBUTE_DIRECTORY);

// Windows 10 names, which the MinGW headers give only to newer targets than the oldest this
// exe starts on.
constexpr auto DispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21); // FileDispositionInfoEx
constexpr DWORD DispositionDelete = 0x1;                                       // FILE_DISPOSITION_FLAG_DELETE
constexpr DWORD DispositionPosixSemantics = 0x2;                               // FILE_DISPOSITION_FLAG_POSIX_SEMANTICS
constexpr DWORD DispositionIgnoreReadOnly = 0x10; // FILE_DISPOSITION_FLAG_IGNORE_READONLY_ATTRIBUTE

struct Handle {
    HANDLE value;
    ~Handle() {
        if (value != INVALID_HANDLE_VALUE) {
            CloseHandle(value);
        }
    }
};

// What the rule says of the entry behind the handle, which was opened at `expected`.
EntryUse Check(HANDLE entry, const std::wstring& expected, bool writing, DWORD& attributes) noexcept {
    DWORD tag = 0;
    FILE_STANDARD_INFO standard = {};
    if (!ReadAttributesOf(entry, attributes, tag) ||
        !GetFileInformationByHandleEx(entry, FileStandardInfo, &standard, sizeof standard)) {
        return EntryUse::Refuse;
    }
    const bool atItsName = SamePathIgnoringCase(CanonicalPathOf(entry), expected);
    return CheckedEntryUse(attributes, tag, standard.NumberOfLinks, atItsName, writing);
}

// Opened for writing, checked, and only then cut to length 0.
HANDLE OpenForWriting(const HeldFolder& folder, std::wstring_view name) {
    HANDLE file = OpenInFolder(folder.handle, name,
                               {GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_OPEN_IF,
                                FILE_NON_DIRECTORY_FILE});
    if (file == INVALID_HANDLE_VALUE) {
        return file;
    }
    DWORD attributes = 0;
    if (Check(file, JoinPath(folder.canonical, name), true, attributes) != EntryUse::Use || !SetEndOfFile(file)) {
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

bool WriteAll(HANDLE file, const char* bytes, std::size_t size) noexcept {
    while (size > 0) {
        const DWORD part = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, bytes, part, &written, nullptr) || written != part) {
            return false;
        }
        bytes += part;
        size -= part;
    }
    return true;
}

// Newer systems delete at once, even a file others hold with delete sharing, and without
// touching a read-only attribute. Older ones, and drives without these semantics (FAT), take
// the classic request, which refuses a read-only entry: the attribute is cleared through the
// same handle first and put back when the deletion fails anyway.
bool Dispose(HANDLE entry, DWORD attributes) noexcept {
    DWORD now = DispositionDelete | DispositionPosixSemantics | DispositionIgnoreReadOnly; // FILE_DISPOSITION_INFO_EX
    if (SetFileInformationByHandle(entry, DispositionInfoEx, &now, sizeof now)) {
        return true;
    }
    const bool readOnly = attributes & FILE_ATTRIBUTE_READONLY;
    FILE_BASIC_INFO basic = {};
    if (readOnly) {
        basic.FileAttributes =
            (attributes & ~FILE_ATTRIBUTE_READONLY) ? attributes & ~FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
        SetFileInformationByHandle(entry, FileBasicInfo, &basic, sizeof basic);
    }
    FILE_DISPOSITION_INFO classic = {TRUE};
    if (SetFileInformationByHandle(entry, FileDispositionInfo, &classic, sizeof classic)) {
        return true;
    }
    if (readOnly) {
        basic.FileAttributes = attributes;
        SetFileInformationByHandle(entry, FileBasicInfo, &basic, sizeof basic);
    }
    return false;
}

// The names in a folder, read through its handle, without "." and "..".
std::vector<std::wstring> ListNames(HANDLE folder) {
    std::vector<std::wstring> names;
    std::vector<LONGLONG> buffer(8192);
    FILE_INFO_BY_HANDLE_CLASS kind = FileFullDirectoryRestartInfo;
    while (GetFileInformationByHandleEx(folder, kind, buffer.data(), static_cast<DWORD>(buffer.size() * 8))) {
        kind = FileFullDirectoryInfo;
        const BYTE* at = reinterpret_cast<const BYTE*>(buffer.data());
        for (;;) {
            const auto* found = reinterpret_cast<const FILE_FULL_DIR_INFO*>(at);
            const std::wstring_view name(found->FileName, found->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") {
                names.emplace_back(name);
            }
            if (found->NextEntryOffset == 0) {
                break;
            }
            at += found->NextEntryOffset;
        }
    }
    return names;
}

// Depth first, and on past a failure so that as much as possible goes.
void RemoveTreeEntry(HANDLE parent, const std::wstring& parentPath, std::wstring_view name) {
    Handle entry{OpenInFolder(parent, name,
                              {DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_OPEN, 0})};
    if (entry.value == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::wstring path = JoinPath(parentPath, name);
    DWORD attributes = 0;
    const EntryUse use = Check(entry.value, path, false, attributes);
    if (use == EntryUse::Refuse) {
        return;
    }
    if (use == EntryUse::Use && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        for (const std::wstring& child : ListNames(entry.value)) {
            RemoveTreeEntry(entry.value, path, child);
        }
    }
    Dispose(entry.value, attributes);
}

} // namespace

bool WriteFileIn(const HeldFolder& folder, std::wstring_view name, const void* bytes, std::size_t size) noexcept {
    try {
        Handle file{OpenForWriting(folder, name)};
        return file.value != INVALID_HANDLE_VALUE && WriteAll(file.value, static_cast<const char*>(bytes), size);
    } catch (...) {
        return false;
    }
}

bool CopyFileIn(const HeldFolder& folder, std::wstring_view name, const std::wstring& source) noexcept {
    try {
        Handle from{CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)};
        if (from.value == INVALID_HANDLE_VALUE) {
            return false;
        }
        Handle file{OpenForWriting(folder, name)};
        if (file.value == INVALID_HANDLE_VALUE) {
            return false;
        }
        std::vector<char> buffer(1 << 16);
        DWORD read = 0;
        while (ReadFile(from.value, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
            if (read == 0) {
                return true;
            }
            if (!WriteAll(file.value, buffer.data(), read)) {
                return false;
            }
        }
        return false;
    } catch (...) {
        return false;
    }
}

// Delete sharing as DeleteFileW asks: a file that others hold with it still goes.
Removal RemoveFileIn(const HeldFolder& folder, std::wstring_view name) noexcept {
    try {
        Handle entry{OpenInFolder(folder.handle, name,
                                  {DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN, 0})};
        if (entry.value == INVALID_HANDLE_VALUE) {
            return IsGoneForRemoval(GetLastError()) ? Removal::Gone : Removal::Failed;
        }
        DWORD attributes = 0;
        switch (Check(entry.value, JoinPath(folder.canonical, name), false, attributes)) {
        case EntryUse::Refuse:
            return Removal::Refused;
        case EntryUse::Use:
            if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                return Removal::Failed;
            }
            [[fallthrough]];
        case EntryUse::RemoveAsLink:
            return Dispose(entry.value, attributes) ? Removal::Gone : Removal::Failed;
        }
        return Removal::Failed;
    } catch (...) {
        return Removal::Failed;
    }
}

void RemoveTreeIn(const HeldFolder& folder, std::wstring_view name) noexcept {
    try {
        RemoveTreeEntry(folder.handle, folder.canonical, name);
    } catch (...) {
        // Out of memory deep in a tree: what was removed so far stays removed.
    }
}
