#pragma once
// Resource ids shared by the resource scripts and the C++ code.
#define IDI_APP 1
#define IDR_PLUGIN_DLL 101
#define IDR_DOOR_OPEN_WAV 102
#define IDR_DOOR_CLOSE_WAV 103
