#pragma once
// The names the installer writes, reads or removes on disk, and the two folders every
// one of them is found from. Pure text, no Windows headers.
#include <string>
#include <string_view>

#include "app/game_entry.h"
#include "platform/path.h"

// In a game's plug-in folder: the plug-in library, the predecessor that an install
// replaces, and the product folder with the sounds.
inline constexpr wchar_t PluginFileName[] = L"Kestrovane.dll";
inline constexpr wchar_t PredecessorFileName[] = L"Quillon.dll";
inline constexpr wchar_t ProductFolderName[] = L"Kestrovane";
inline constexpr wchar_t SoundsFolderName[] = L"sounds";
inline constexpr wchar_t DoorOpenSoundName[] = L"door_open.wav";
inline constexpr wchar_t DoorCloseSoundName[] = L"door_close.wav";

// The installer's own copy, which Windows starts with /uninstall, lives in a folder
// named after the product under the local application data folder.
inline constexpr const wchar_t* InstallerCopyFolderName = ProductFolderName;
inline constexpr wchar_t InstallerCopyFileName[] = L"Kestrovane-Setup.exe";

// Where the games keep their executables, and the plug-in folder below it.
inline constexpr wchar_t GameBinaryFolder[] = L"bin\\win_x64";
inline constexpr wchar_t PluginFolderBelowGame[] = L"bin\\win_x64\\plugins";

// <library>\steamapps\common\<the game's folder name>
inline std::wstring GameFolderPath(std::wstring_view library, const GameKind& kind) {
    return JoinPath(library, L"steamapps", L"common", kind.displayName);
}

// <game folder>\bin\win_x64\plugins, where the games load plug-ins from.
inline std::wstring PluginFolderPath(std::wstring_view gameFolder) {
    return JoinPath(gameFolder, PluginFolderBelowGame);
}
