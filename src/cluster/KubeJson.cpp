#include "cluster/KubeJson.h"

#include <QJsonDocument>

QJsonArray KubeJson::items(const QString& list) {
    return QJsonDocument::fromJson(list.toUtf8()).object()[QLatin1String("items")].toArray();
}

QString KubeJson::nameOf(const QJsonValue& object) {
    return object[QLatin1String("metadata")][QLatin1String("name")].toString();
}

QJsonObject KubeJson::condition(const QJsonValue& object, QLatin1String type) {
    for (const QJsonValue entry :
         object[QLatin1String("status")][QLatin1String("conditions")].toArray()) {
        if (entry[QLatin1String("type")].toString() == type) {
            return entry.toObject();
        }
    }
    return {};
}

bool KubeJson::isConditionTrue(const QJsonValue& object, QLatin1String type) {
    return condition(object, type)[QLatin1String("status")].toString() == QLatin1String("True");
}
