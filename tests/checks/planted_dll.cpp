// A hostile DLL planted beside the installer under a system DLL's name: if the loader
// ever picks it up, the process ends at once with a telltale exit code.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ExitProcess(77);
    }
    return TRUE;
}
