// Time to window: starts a program, waits until its top-level window is visible and
// has been painted once, then closes it. Several programs are run interleaved, trial by
// trial, so that whatever else the machine does falls on all of them alike.
//
//   kv_launch [--trials N] [--warmup N] [--setup NAME] [--steam-path PATH] [--reference NAME]
//             [--samples] NAME=EXE...
//
// --steam-path rewrites HKCU\Software\Valve\Steam\SteamPath before the first trial, which
// is how the Steam setups are switched. Prints one summary line per program (bench/stats.h),
// with --reference the per-trial ratios of every other program to that one,
// and, with --samples, every trial with the times at which each waiting step was passed.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench/stats.h"

namespace {

constexpr DWORD StartTimeoutMs = 60000;
constexpr DWORD ReplyTimeoutMs = 10000;

struct Target {
    std::wstring name;
    std::wstring exe;
    std::vector<double> samples;
    std::vector<double> byTrial; // negative where the trial failed
    int failures = 0;
};

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchVisibleWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

bool Exited(HANDLE process) {
    return WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

// Returns once the target's message loop has dealt with everything queued before it.
bool RoundTrip(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, ReplyTimeoutMs, &result) != 0;
}

// The launcher cannot see inside the target, so "painted" is established from outside:
//  1. WaitForInputIdle: the target's thread first waits for input with an empty queue,
//     which for a program that pumps no messages before its window is shown means its
//     first WM_PAINT has been handled. Only a shortcut: it may return earlier (or at once
//     where the platform has no idle event), and the checks below do not rely on it.
//  2. A visible top-level window of the process (polled at 1 ms).
//  3. WM_NULL round trip: sent messages are only taken inside the target's message loop,
//     so ShowWindow has returned and the window's update region has been set.
//  4. The update region is empty: BeginPaint of the first WM_PAINT has validated it.
//  5. WM_NULL round trip again: the paint handler has returned (EndPaint done) and the
//     thread is back in GetMessageW.
HWND WaitUntilPainted(HANDLE process, DWORD processId, std::vector<LONGLONG>& stages) {
    WaitForInputIdle(process, StartTimeoutMs);
    stages.push_back(bench::Now());
    const LONGLONG deadline = bench::Now();
    WindowSearch search = {processId, nullptr};
    for (;;) {
        EnumWindows(MatchVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            break;
        }
        if (Exited(process) || bench::Seconds(bench::Now() - deadline) * 1000 > StartTimeoutMs) {
            return nullptr;
        }
        Sleep(1);
    }
    stages.push_back(bench::Now());
    if (!RoundTrip(search.found)) {
        return nullptr;
    }
    stages.push_back(bench::Now());
    while (GetUpdateRect(search.found, nullptr, FALSE)) {
        if (Exited(process)) {
            return nullptr;
        }
        Sleep(1);
    }
    stages.push_back(bench::Now());
    return RoundTrip(search.found) ? search.found : nullptr;
}

struct Trial {
    double ms = -1;              // CreateProcessW to the end of the first paint; negative: failed
    std::vector<double> stageMs; // when each step of WaitUntilPainted was passed
};

Trial RunOnce(const Target& target) {
    Trial trial;
    std::wstring commandLine = L"\"" + target.exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    const LONGLONG start = bench::Now();
    if (!CreateProcessW(target.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        std::fwprintf(stderr, L"kv_launch: cannot start %ls (error %lu)\n", target.exe.c_str(), GetLastError());
        return trial;
    }
    std::vector<LONGLONG> stages;
    HWND window = WaitUntilPainted(info.hProcess, info.dwProcessId, stages);
    const LONGLONG painted = bench::Now();
    if (window) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(info.hProcess, ReplyTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, ReplyTimeoutMs);
        window = nullptr;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    if (window) {
        trial.ms = bench::Seconds(painted - start) * 1000;
        for (LONGLONG stage : stages) {
            trial.stageMs.push_back(bench::Seconds(stage - start) * 1000);
        }
    }
    return trial;
}

bool SetSteamPath(const std::wstring& path) {
    const DWORD bytes = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
    return RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Valve\\Steam", L"SteamPath", REG_SZ, path.c_str(), bytes) ==
           ERROR_SUCCESS;
}

std::string Narrow(const std::wstring& text) {
    int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length > 0 ? length : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(), length, nullptr, nullptr);
    narrow.resize(narrow.size() - 1);
    return narrow;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int trials = 30;
    int warmup = 3;
    bool printSamples = false;
    std::wstring setup = L"-";
    std::wstring reference;
    std::vector<Target> targets;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (arg == L"--trials" && i + 1 < argc) {
            trials = _wtoi(argv[++i]);
        } else if (arg == L"--warmup" && i + 1 < argc) {
            warmup = _wtoi(argv[++i]);
        } else if (arg == L"--setup" && i + 1 < argc) {
            setup = argv[++i];
        } else if (arg == L"--reference" && i + 1 < argc) {
            reference = argv[++i];
        } else if (arg == L"--samples") {
            printSamples = true;
        } else if (arg == L"--steam-path" && i + 1 < argc) {
            if (!SetSteamPath(argv[++i])) {
                std::fwprintf(stderr, L"kv_launch: cannot write SteamPath\n");
                return 2;
            }
        } else if (size_t equals = arg.find(L'='); equals != std::wstring::npos) {
            targets.push_back({arg.substr(0, equals), arg.substr(equals + 1), {}, {}, 0});
        } else {
            std::fwprintf(stderr, L"usage: kv_launch [--trials N] [--warmup N] [--setup NAME] [--steam-path PATH] "
                                  L"[--reference NAME] [--samples] NAME=EXE...\n");
            return 2;
        }
    }
    if (targets.empty()) {
        return 2;
    }

    // Warm-up runs fill the file cache and Wine's own caches; they are not counted.
    for (int round = 0; round < warmup; ++round) {
        for (Target& target : targets) {
            RunOnce(target);
        }
    }
    // The order alternates each trial, so neither program always runs right after the other.
    for (int trial = 0; trial < trials; ++trial) {
        for (size_t k = 0; k < targets.size(); ++k) {
            Target& target = targets[trial % 2 == 0 ? k : targets.size() - 1 - k];
            Trial result = RunOnce(target);
            target.byTrial.resize(static_cast<size_t>(trials), -1);
            target.byTrial[static_cast<size_t>(trial)] = result.ms;
            if (result.ms < 0) {
                ++target.failures;
                continue;
            }
            target.samples.push_back(result.ms);
            if (printSamples) {
                std::printf("sample\t%s/%s\tms\t%d\t%.2f\tstages", Narrow(setup).c_str(), Narrow(target.name).c_str(),
                            trial, result.ms);
                for (double stage : result.stageMs) {
                    std::printf(" %.2f", stage);
                }
                std::printf("\n");
            }
        }
    }
    // Paired ratios: each trial's program against the reference run right before or after
    // it, so that slow drifts of the machine's load cancel out.
    const Target* base = nullptr;
    for (const Target& target : targets) {
        if (target.name == reference) {
            base = &target;
        }
    }
    for (const Target& target : targets) {
        if (!base || &target == base) {
            continue;
        }
        std::vector<double> ratios;
        for (size_t t = 0; t < target.byTrial.size() && t < base->byTrial.size(); ++t) {
            if (target.byTrial[t] > 0 && base->byTrial[t] > 0) {
                ratios.push_back(target.byTrial[t] / base->byTrial[t]);
            }
        }
        std::string name = Narrow(setup) + "/" + Narrow(target.name) + " : " + Narrow(base->name);
        bench::PrintSummary("ratio", name.c_str(), "x", bench::Summarize(ratios));
    }
    int failed = 0;
    for (const Target& target : targets) {
        std::string name = Narrow(setup) + "/" + Narrow(target.name);
        bench::PrintSummary("window", name.c_str(), "ms", bench::Summarize(target.samples));
        if (target.failures) {
            std::fprintf(stderr, "kv_launch: %s: %d trials failed\n", name.c_str(), target.failures);
            failed += target.failures;
        }
    }
    return failed ? 1 : 0;
}
