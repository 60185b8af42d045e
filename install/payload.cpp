#include "install/payload.h"

#include "platform/checked_files.h"

// Resource memory belongs to the loaded image: nothing here is freed.
bool ExtractResourceToFile(WORD id, const HeldFolder& folder, std::wstring_view name) noexcept {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (!info) {
        return false;
    }
    HGLOBAL loaded = LoadResource(nullptr, info);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(nullptr, info);
    return bytes && size != 0 && WriteFileIn(folder, name, bytes, size);
}
