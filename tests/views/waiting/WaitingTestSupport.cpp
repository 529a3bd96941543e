#include "WaitingTestSupport.h"

#include "session/InstallationState.h"

#include <QCoreApplication>
#include <QRegularExpression>

QStringList logMessages(const InstallationState& state) {
    // appendLog posts once; a line logged from a posted job needs a second round.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents();
    static const QRegularExpression stamp(QStringLiteral(R"(^\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\] )"),
                                          QRegularExpression::MultilineOption);
    QStringList messages = state.logs().split(stamp, Qt::SkipEmptyParts);
    for (QString& message : messages) {
        message.chop(1);
    }
    return messages;
}

bool containsInOrder(const QStringList& messages, const QStringList& expected) {
    qsizetype at = 0;
    for (const QString& message : expected) {
        at = messages.indexOf(message, at);
        if (at < 0) {
            return false;
        }
        ++at;
    }
    return true;
}
