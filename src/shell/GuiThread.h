#pragma once

#include <functional>

class QObject;

// Runs `work` on the GUI thread once the events queued before it have been handled. Without an
// application object (a plain tool or test) there is no GUI thread to wait for: it runs at once.
void postToGuiThread(std::function<void()> work);

// The same, dropped when `context` is gone by then. `context` must be alive at the call: from a
// background job, capture a QPointer on the GUI thread and use the form above with a check.
void postToGuiThread(const QObject* context, std::function<void()> work);
