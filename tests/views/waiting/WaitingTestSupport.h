#pragma once

#include <QStringList>

class InstallationState;

// The session log's messages without their time stamps, once the queued log lines have landed.
QStringList logMessages(const InstallationState& state);

// Whether `expected` occurs in `messages` in this order (other messages may lie between).
bool containsInOrder(const QStringList& messages, const QStringList& expected);
