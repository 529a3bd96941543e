#pragma once

#include <QByteArray>
#include <QtGlobal>

// Sets an environment variable for one test and puts the old state back afterwards.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const char* name, const QByteArray& value)
        : m_name(name), m_hadValue(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnvironmentVariable() {
        if (m_hadValue) {
            qputenv(m_name, m_old);
        } else {
            qunsetenv(m_name);
        }
    }
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    const char* m_name;
    bool m_hadValue;
    QByteArray m_old;
};
