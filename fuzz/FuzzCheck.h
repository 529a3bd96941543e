#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>

// A broken invariant ends the run the way a crash does, so that libFuzzer keeps the input.
inline void fuzzCheck(bool holds, const char* invariant, const QString& detail = {}) {
    if (holds) {
        return;
    }
    std::fprintf(stderr, "invariant broken: %s\n%s\n", invariant, qUtf8Printable(detail));
    std::abort();
}

inline QString fuzzText(const unsigned char* data, std::size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}
