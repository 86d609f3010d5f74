#pragma once

#include <chrono>
#include <fstream>
#include <string>

// The two measures every benchmark of the program takes: elapsed time and peak memory.
namespace measure {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The process's peak resident memory so far; it never goes down.
inline double peakRssMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0.0;
}

} // namespace measure
