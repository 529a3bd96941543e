#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

#include <map>

#include <sys/resource.h>
#include <unistd.h>

// CPU seconds of this process, of its children that have ended, and of every descendant still
// running with the children it has reaped itself (a shell's commands, a tunnel's kubectl).
inline double processTreeCpuSeconds() {
    double total = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        total += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    std::map<long, long> parents;
    std::map<long, double> seconds;
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const long pid = entry.toLong(&isPid);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!isPid || !stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        // The fields after the command name, which may hold blanks: state, ppid, … utime stime
        // cutime cstime.
        const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
        if (fields.size() > 14) {
            parents[pid] = fields[1].toLong();
            seconds[pid] = static_cast<double>(fields[11].toLong() + fields[12].toLong() +
                                               fields[13].toLong() + fields[14].toLong()) /
                           ticks;
        }
    }
    const long self = getpid();
    for (const auto& [pid, used] : seconds) {
        for (long up = parents[pid]; up > 1; up = parents.count(up) != 0 ? parents[up] : 0) {
            if (up == self) {
                total += used;
                break;
            }
        }
    }
    return total;
}
