#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QLatin1String>
#include <QString>

// Reading kubectl's JSON: the parts of Kubernetes objects every question about the cluster needs.
class KubeJson {
public:
    KubeJson() = delete;

    // The items of a list as kubectl prints it with -o json; none when the text is not one.
    static QJsonArray items(const QString& list);
    static QString nameOf(const QJsonValue& object);
    // The object's status condition of that type; empty when it has none.
    static QJsonObject condition(const QJsonValue& object, QLatin1String type);
    static bool isConditionTrue(const QJsonValue& object, QLatin1String type);
};
