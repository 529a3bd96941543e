#pragma once

#include "support/ScopedEnvironmentVariable.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>

// Runs the work posted to the GUI thread, including work that posted further work.
inline void runPostedWork() {
    for (int round = 0; round < 8; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
