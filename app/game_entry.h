#pragma once
// The game list's record and the fixed table of supported games. Free of Windows
// headers so that the rules built on it also compile and run natively.
#include <string>

#include "kv_version.h"

// The plug-in version this installer carries, as wide text (compared with installed
// versions, stored into entries) and as 8-bit text (widened for the registry).
inline constexpr wchar_t InstallerVersion[] = L"" KV_VERSION_TEXT;
inline constexpr char InstallerVersionNarrow[] = KV_VERSION_TEXT;

struct GameKind {
    const wchar_t* displayName; // also the game's folder name under steamapps\common
    const wchar_t* exeName;     // below bin\win_x64
};

inline constexpr GameKind GameKinds[] = {
    {L"American Truck Simulator", L"amtrucks.exe"},
    {L"Euro Truck Simulator 2", L"eurotrucks2.exe"},
};

struct GameEntry {
    std::wstring displayName;
    std::wstring exeName;
    std::wstring folder;
    bool checked = true;
    bool pluginPresent = false;
    std::wstring installedVersion;
    bool oldPluginPresent = false;
};
