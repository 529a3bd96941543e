#pragma once

#include <QCoreApplication>
#include <QString>

// Running a command with administrator rights when it fails without them.
class Privilege {
    Q_DECLARE_TR_FUNCTIONS(Privilege)

public:
    Privilege() = delete;

    // Runs `command`; when that fails, runs it again through a private temporary script under
    // pkexec (polkit asks the user). True when either run succeeded.
    static bool requestSudo(const QString& command);
};
