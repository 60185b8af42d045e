// Stands in for a running game: loads the plug-in library as the game does, says so on its
// output, and keeps it loaded until its input closes. Exits with 1 if it cannot load it.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    HMODULE plugin = argc == 2 ? LoadLibraryW(argv[1]) : nullptr;
    if (!plugin) {
        return 1;
    }
    std::puts("loaded");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}
