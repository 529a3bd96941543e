#pragma once

#include <QCoreApplication>
#include <QString>

// What a failed kubectl or helm call means to the user: kubectl's error text turned into one of a
// few plain messages (unreachable server, authorisation, certificate), else the text itself.
class ClusterErrors {
    Q_DECLARE_TR_FUNCTIONS(ClusterErrors)

public:
    ClusterErrors() = delete;

    // The message a failed cluster call leaves for the user, from the tool's error text.
    static QString classify(const QString& errorText);
    // The authorisation message for a rejected credential, else the text unchanged: for output
    // where other words ("certificate") may be about something else than the cluster.
    static QString classifyRejection(const QString& errorText);
    // The alert text for a classified message.
    static QString formatForAlert(const QString& message);
};
