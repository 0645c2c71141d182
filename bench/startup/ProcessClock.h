#pragma once

// The one clock of the start-up benchmark: the real window and the floor
// window are timed with it alike.

#include <QCoreApplication>

#include <ctime>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace quillan::bench {

// Milliseconds since this process started, read from /proc/self/stat, so
// that loading the libraries before main() counts.
inline double msSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string content((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = content.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::vector<std::string> fields;
    std::string field;
    for (char c : content.substr(close + 2)) {
        if (c == ' ') {
            fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    // Field 22 of the file (starttime, in clock ticks since boot) is index 19 here.
    const double startTicks = std::stod(fields.at(19));
    timespec boot{};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    const double nowMs = double(boot.tv_sec) * 1000.0 + double(boot.tv_nsec) / 1e6;
    return nowMs - startTicks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

// The window is ready once the events its showing posted (expose, layout,
// first paint) have been processed: the time of that, since the process
// started.
inline double msToReady()
{
    QCoreApplication::processEvents();
    return msSinceProcessStart();
}

} // namespace quillan::bench
