#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <vector>

// The median wall time of `rounds` runs of `work`, in milliseconds: one slow run on a shared
// machine does not move it.
template <typename Work> double medianMs(int rounds, Work work) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
