#!/usr/bin/env bash
# Lays out a Steam installation with both games inside a Wine prefix, for demos and
# screenshots: Steam in C:\Program Files (x86)\Steam with Euro Truck Simulator 2, which
# holds an older plug-in and its predecessor, and a second library D:\SteamLibrary
# (a drive mapped to a folder in the prefix) with American Truck Simulator.
#
# Usage: make-steam-setup.sh PREFIX_ROOT TESTDATA_DIR
#   PREFIX_ROOT   the Wine prefix (WINEPREFIX must name it and a wineserver must run)
#   TESTDATA_DIR  the build's testdata folder, holding plugin-1.9.12.dll
# Running it again rewrites the same layout.
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 PREFIX_ROOT TESTDATA_DIR" >&2
    exit 2
fi
prefix="$(cd "$1" && pwd)"
testdata="$2"
old_plugin="$testdata/plugin-1.9.12.dll"
[ -d "$prefix/drive_c" ] || { echo "not a Wine prefix: $prefix" >&2; exit 1; }
[ -f "$old_plugin" ] || { echo "missing $old_plugin (build target kv_testdata)" >&2; exit 1; }
export WINEPREFIX="$prefix"

# Drive D: is a folder inside the prefix. An existing D: that is not ours is left alone
# and the second library goes to C:\SteamLibrary instead.
drive_d_folder="$prefix/demo-drive-d"
mkdir -p "$drive_d_folder"
link="$prefix/dosdevices/d:"
if [ -L "$link" ] && [ "$(readlink "$link")" = "../demo-drive-d" ]; then
    library_root="$drive_d_folder"; library_win='D:\SteamLibrary'
elif [ ! -e "$link" ] && [ ! -L "$link" ]; then
    ln -s ../demo-drive-d "$link"
    library_root="$drive_d_folder"; library_win='D:\SteamLibrary'
else
    library_root="$prefix/drive_c"; library_win='C:\SteamLibrary'
fi
library="$library_root/SteamLibrary"
steam="$prefix/drive_c/Program Files (x86)/Steam"

dummy() { # a small stand-in executable
    mkdir -p "$(dirname "$1")"
    printf 'MZ demo stand-in\n' >"$1"
}

dummy "$steam/steam.exe"
ets2="$steam/steamapps/common/Euro Truck Simulator 2/bin/win_x64"
dummy "$ets2/eurotrucks2.exe"
mkdir -p "$ets2/plugins"
cp -f "$old_plugin" "$ets2/plugins/Kestrovane.dll"
dummy "$ets2/plugins/Quillon.dll"
dummy "$library/steamapps/common/American Truck Simulator/bin/win_x64/amtrucks.exe"
printf '"libraryfolder"\n{\n\t"contentid"\t\t"7305184936042216530"\n\t"label"\t\t""\n}\n' \
    >"$library/libraryfolder.vdf"

# Steam's own format: tabs, CR-less line ends, every backslash in a path doubled.
steam_vdf_path='C:\\Program Files (x86)\\Steam'
library_vdf_path="${library_win//\\/\\\\}"
cat >"$steam/steamapps/libraryfolders.vdf" <<VDF
"libraryfolders"
{
	"0"
	{
		"path"		"$steam_vdf_path"
		"label"		""
		"contentid"		"4138274421434218411"
		"totalsize"		"0"
		"update_clean_bytes_tally"		"1832946115"
		"time_last_update_verified"		"1718024519"
		"apps"
		{
			"227300"		"8212367104"
		}
	}
	"1"
	{
		"path"		"$library_vdf_path"
		"label"		""
		"contentid"		"7305184936042216530"
		"totalsize"		"1000186310656"
		"update_clean_bytes_tally"		"0"
		"time_last_update_verified"		"0"
		"apps"
		{
			"270880"		"7401962590"
		}
	}
}
VDF

# Steam writes its own path in lower case with forward slashes; the machine value keeps
# the usual spelling.
wine reg add 'HKCU\Software\Valve\Steam' /v SteamPath /t REG_SZ /d 'c:/program files (x86)/steam' /f \
    </dev/null >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\WOW6432Node\Valve\Steam' /v InstallPath /t REG_SZ /d 'C:\Program Files (x86)\Steam' /f \
    </dev/null >/dev/null 2>&1

echo "Steam:   C:\\Program Files (x86)\\Steam (Euro Truck Simulator 2 with plug-in 1.9.12 and Quillon.dll)"
echo "Library: $library_win (American Truck Simulator)"
