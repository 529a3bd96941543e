#include "shell/Console.h"

#include <QString>

#include <cstdio>
#include <mutex>

void writeConsoleLine(const QString& line) {
    static std::mutex mutex;
    const QByteArray bytes = line.toUtf8() + '\n';
    const std::lock_guard lock(mutex);
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}
