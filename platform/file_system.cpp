#include "platform/file_system.h"

#include <windows.h>

#include <cstring>
#include <string_view>

#include "platform/path.h"

namespace {

// Attributes only and every sharing mode: a game that holds its files open must not make
// its folder look unopenable. Backup semantics are what lets CreateFileW open a folder;
// without FILE_FLAG_OPEN_REPARSE_POINT the open follows links to their target.
HANDLE OpenForQuery(const std::wstring& path) noexcept {
    return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The attributes of what the path finally names. A link's own attributes say nothing
// about its target, which may be missing or of another kind, so a link is opened. On
// failure the last error says why.
bool TargetAttributes(const std::wstring& path, DWORD& attributes) noexcept {
    attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return true;
    }
    HANDLE target = OpenForQuery(path);
    if (target == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info = {};
    const bool ok = GetFileInformationByHandle(target, &info) != FALSE;
    // Whether the path is missing is read from this error: the close must not replace it.
    const DWORD error = GetLastError();
    CloseHandle(target);
    SetLastError(error);
    attributes = info.dwFileAttributes;
    return ok;
}

// 128-bit file ids with a 64-bit volume serial where the system has them: ReFS and Dev
// Drive volumes do not keep the 64-bit index unique. The older record serves only where
// the newer query is not supported.
struct FileIdentity {
    bool extended = false;
    ULONGLONG volume = 0;
    FILE_ID_128 id = {};
};

bool IsUnsupported(DWORD error) noexcept {
    return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION;
}

bool QueryIdentity(HANDLE file, FileIdentity& identity) noexcept {
    FILE_ID_INFO info = {};
    if (GetFileInformationByHandleEx(file, FileIdInfo, &info, sizeof info)) {
        identity.extended = true;
        identity.volume = info.VolumeSerialNumber;
        identity.id = info.FileId;
        return true;
    }
    if (!IsUnsupported(GetLastError())) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION older = {};
    if (!GetFileInformationByHandle(file, &older)) {
        return false;
    }
    identity.volume = older.dwVolumeSerialNumber;
    const ULONGLONG index = (ULONGLONG{older.nFileIndexHigh} << 32) | older.nFileIndexLow;
    std::memcpy(identity.id.Identifier, &index, sizeof index);
    return true;
}

} // namespace

bool Exists(const std::wstring& path) noexcept {
    DWORD attributes = 0;
    return TargetAttributes(path, attributes);
}

bool IsDirectory(const std::wstring& path) noexcept {
    DWORD attributes = 0;
    return TargetAttributes(path, attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsMissing(const std::wstring& path) noexcept {
    DWORD attributes = 0;
    return !TargetAttributes(path, attributes) && IsNotFound(GetLastError());
}

bool MayExist(const std::wstring& path) noexcept {
    DWORD attributes = 0;
    return TargetAttributes(path, attributes) || IsUntrustedLink(GetLastError());
}

// Only a sharing violation means "in use": every other error (missing file or folder,
// access denied) reads as not held, and shows up later, when the caller writes or deletes.
// OPEN_EXISTING and the immediate close leave the file as it was.
bool IsHeldOpenElsewhere(const std::wstring& path) noexcept {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

// From the deepest folder upwards: in the usual case only the last few elements are
// missing, so this costs a few calls instead of one per element of the path.
bool CreateFolders(const std::wstring& path) noexcept {
    if (CreateDirectoryW(path.c_str(), nullptr)) {
        return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        return IsDirectory(path);
    }
    if (!IsNotFound(error)) {
        return false;
    }
    try {
        const std::wstring parent = ParentPath(path);
        if (parent.empty() || parent == path || !CreateFolders(parent)) {
            return false;
        }
    } catch (...) {
        return false;
    }
    return CreateDirectoryW(path.c_str(), nullptr) || (GetLastError() == ERROR_ALREADY_EXISTS && IsDirectory(path));
}

std::wstring CanonicalPathOf(void* file) noexcept {
    std::wstring text;
    try {
        text.resize(MAX_PATH);
        for (;;) {
            const DWORD length = GetFinalPathNameByHandleW(file, text.data(), static_cast<DWORD>(text.size()),
                                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
            if (length == 0) {
                return {};
            }
            if (length < text.size()) {
                text.resize(length);
                break;
            }
            // Too small: the length returned counts the terminating zero.
            text.resize(length);
        }
        // The system answers in its long-path form; users and the rest of the installer
        // expect the everyday spelling where there is one.
        return EverydayPath(text);
    } catch (...) {
        return {};
    }
}

std::wstring CanonicalPath(const std::wstring& path) noexcept {
    HANDLE file = OpenForQuery(path);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::wstring text = CanonicalPathOf(file);
    CloseHandle(file);
    return text;
}

// Both handles stay open until both ids are read: a file id is only unique and stable while
// a handle holds its file, and the redirected drives of a remote session reuse an id as soon
// as none does.
bool SameFile(const std::wstring& a, const std::wstring& b) noexcept {
    HANDLE first = OpenForQuery(a);
    HANDLE second = OpenForQuery(b);
    FileIdentity one;
    FileIdentity other;
    const bool same = first != INVALID_HANDLE_VALUE && second != INVALID_HANDLE_VALUE && QueryIdentity(first, one) &&
                      QueryIdentity(second, other) && one.extended == other.extended && one.volume == other.volume &&
                      std::memcmp(one.id.Identifier, other.id.Identifier, sizeof one.id.Identifier) == 0;
    for (HANDLE file : {first, second}) {
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
    }
    return same;
}

// The attributes, and the tag of a reparse point. FAT32 and exFAT have no reparse points and
// refuse the tag query (ERROR_INVALID_PARAMETER), so only a reparse point is asked for one.
bool ReadAttributesOf(void* file, unsigned long& attributes, unsigned long& tag) noexcept {
    FILE_BASIC_INFO basic = {};
    if (!GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) {
        return false;
    }
    attributes = basic.FileAttributes;
    tag = 0;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return true;
    }
    FILE_ATTRIBUTE_TAG_INFO info = {};
    if (!GetFileInformationByHandleEx(file, FileAttributeTagInfo, &info, sizeof info)) {
        return false;
    }
    tag = info.ReparseTag;
    return true;
}

// As Windows compares names: ordinal, without case; a trailing separator changes nothing.
bool SamePathIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept {
    for (std::wstring_view* text : {&a, &b}) {
        while (!text->empty() && (text->back() == L'\\' || text->back() == L'/')) {
            text->remove_suffix(1);
        }
    }
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}
