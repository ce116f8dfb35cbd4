#pragma once
// Times for the benchmarks, from the performance counter.
#include <windows.h>

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceFrequency(&frequency_); }
    LONGLONG Now() const
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return now.QuadPart;
    }
    double Ms(LONGLONG ticks) const { return 1000.0 * static_cast<double>(ticks) / frequency_.QuadPart; }
    double MsSince(LONGLONG start) const { return Ms(Now() - start); }
private:
    LARGE_INTEGER frequency_;
};
