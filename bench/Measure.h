#pragma once

#include <chrono>
#include <cstring>
#include <fstream>
#include <string>

#include <malloc.h>

// The two measures every benchmark of the program takes: elapsed time and peak memory.
namespace measure {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline double statusMiB(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stod(line.substr(std::strlen(key))) / 1024.0;
    return 0.0;
}

// The process's peak resident memory since the start or the last resetPeak().
inline double peakRssMiB()
{
    return statusMiB("VmHWM:");
}

inline double rssMiB()
{
    return statusMiB("VmRSS:");
}

// Starts the peak over from the memory in use now, and gives freed heap back to the system
// first, so that what a step takes is counted rather than found among earlier leftovers.
inline void resetPeak()
{
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace measure
