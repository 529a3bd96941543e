#pragma once

#include "support/ScopedEnvironmentVariable.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <utility>

// Writes an executable stand-in program.
inline bool writeExecutable(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    file.write(content);
    file.close();
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                               QFileDevice::ExeOwner);
}
