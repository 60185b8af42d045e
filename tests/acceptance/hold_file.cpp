// Stands in for a running game: keeps a file open (as a game keeps its loaded plug-in)
// until the release file appears, or at most a minute.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        return 2;
    }
    HANDLE file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    for (int i = 0; i < 600 && GetFileAttributesW(argv[2]) == INVALID_FILE_ATTRIBUTES; ++i) {
        Sleep(100);
    }
    CloseHandle(file);
    return 0;
}
