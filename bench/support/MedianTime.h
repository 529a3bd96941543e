#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <utility>
#include <vector>

// The middle of the values (the upper one of an even count); `values` must not be empty.
inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

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
    return median(std::move(times));
}
