// Discovery at scale, inside one process: DiscoverGames for each Steam setup, many times,
// so that its share of the time to window can be seen without process start-up around it.
//
//   kv_discovery_bench [--iterations N] NAME=STEAMPATH...
//
// SteamPath is rewritten before each setup; the bench prefix is made for that.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "app/state.h"
#include "bench/stats.h"
#include "discovery/steam_libraries.h"

namespace {

bool SetSteamPath(const std::wstring& path) {
    const DWORD bytes = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
    return RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Valve\\Steam", L"SteamPath", REG_SZ, path.c_str(), bytes) ==
           ERROR_SUCCESS;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int iterations = 50;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (arg == L"--iterations" && i + 1 < argc) {
            iterations = _wtoi(argv[++i]);
            continue;
        }
        size_t equals = arg.find(L'=');
        if (equals == std::wstring::npos || !SetSteamPath(arg.substr(equals + 1))) {
            std::fwprintf(stderr, L"kv_discovery_bench: bad argument %ls\n", arg.c_str());
            return 2;
        }
        std::vector<double> discover;
        std::vector<double> libraries;
        size_t games = 0;
        size_t libraryCount = 0;
        for (int k = -3; k < iterations; ++k) {
            state.games.clear();
            LONGLONG start = bench::Now();
            libraryCount = FindSteamLibraries().size();
            LONGLONG found = bench::Now();
            DiscoverGames();
            LONGLONG end = bench::Now();
            if (k >= 0) {
                libraries.push_back(bench::Seconds(found - start) * 1000);
                discover.push_back(bench::Seconds(end - found) * 1000);
            }
            games = state.games.size();
        }
        std::string name(arg.begin(), arg.begin() + static_cast<std::ptrdiff_t>(equals));
        bench::PrintSummary("discovery", (name + "/FindSteamLibraries").c_str(), "ms", bench::Summarize(libraries));
        bench::PrintSummary("discovery", (name + "/DiscoverGames").c_str(), "ms", bench::Summarize(discover));
        std::printf("info\t%s/libraries\tcount\t%zu\n", name.c_str(), libraryCount);
        std::printf("info\t%s/games\tcount\t%zu\n", name.c_str(), games);
    }
    return 0;
}
