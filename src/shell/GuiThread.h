#pragma once

#include <functional>

class QObject;

// Runs `work` on the GUI thread once the events queued before it have been handled. Without an
// application object (a plain tool or test) there is no GUI thread to wait for: it runs at once.
void postToGuiThread(std::function<void()> work);

// The same, dropped when `context` is gone by then: the usual way for a background job to reach
// a screen or controller that may be destroyed meanwhile.
void postToGuiThread(const QObject* context, std::function<void()> work);
