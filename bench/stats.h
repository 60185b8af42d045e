#pragma once
// Timing and summaries shared by the benchmark programs. Each program prints one
// tab-separated line per measured quantity; bench/report.py turns them into the document.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

inline double Seconds(LONGLONG ticks) noexcept {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

inline LONGLONG Now() noexcept {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

struct Summary {
    size_t count = 0;
    double median = 0;
    double p10 = 0;
    double p90 = 0;
    double min = 0;
    double max = 0;
};

// Nearest-rank percentiles: with few samples an interpolated value would suggest a
// precision the data does not have.
inline double Percentile(const std::vector<double>& sorted, double fraction) noexcept {
    if (sorted.empty()) {
        return 0;
    }
    size_t rank = static_cast<size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(rank, sorted.size() - 1)];
}

inline Summary Summarize(std::vector<double> samples) {
    Summary s;
    if (samples.empty()) {
        return s;
    }
    std::sort(samples.begin(), samples.end());
    s.count = samples.size();
    s.median = Percentile(samples, 0.5);
    s.p10 = Percentile(samples, 0.1);
    s.p90 = Percentile(samples, 0.9);
    s.min = samples.front();
    s.max = samples.back();
    return s;
}

// kind, name, unit, then count, median, p10, p90, min, max.
inline void PrintSummary(const char* kind, const char* name, const char* unit, const Summary& s) {
    std::printf("%s\t%s\t%s\t%zu\t%.4f\t%.4f\t%.4f\t%.4f\t%.4f\n", kind, name, unit, s.count, s.median, s.p10, s.p90,
                s.min, s.max);
    std::fflush(stdout);
}

} // namespace bench
