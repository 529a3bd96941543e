#include "shell/GuiThread.h"

#include <QCoreApplication>
#include <QPointer>

void postToGuiThread(std::function<void()> work) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        work();
        return;
    }
    QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

void postToGuiThread(const QObject* context, std::function<void()> work) {
    QPointer<const QObject> guard(context);
    postToGuiThread([guard, work = std::move(work)] {
        if (guard) {
            work();
        }
    });
}
