#include "cluster/ServiceAddress.h"

#include "cluster/KubeJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace {

QJsonObject parse(const QString& json) {
    return QJsonDocument::fromJson(json.toUtf8()).object();
}

QJsonObject devtronPort(const QJsonArray& ports) {
    for (const QString& name : {QStringLiteral("devtron"), QStringLiteral("http")}) {
        for (const QJsonValue port : ports) {
            if (port[QLatin1String("name")].toString() == name) {
                return port.toObject();
            }
        }
    }
    return ports.isEmpty() ? QJsonObject() : ports.first().toObject();
}

bool isControlPlane(const QJsonValue& node) {
    const QJsonObject labels = node[QLatin1String("metadata")][QLatin1String("labels")].toObject();
    return labels.contains(QLatin1String("node-role.kubernetes.io/control-plane")) ||
           labels.contains(QLatin1String("node-role.kubernetes.io/master"));
}

QString addressOfType(const QJsonValue& node, QLatin1String type) {
    for (const QJsonValue entry :
         node[QLatin1String("status")][QLatin1String("addresses")].toArray()) {
        if (entry[QLatin1String("type")].toString() == type) {
            return entry[QLatin1String("address")].toString();
        }
    }
    return {};
}

// A Ready node's ExternalIP, else its InternalIP; workers before control planes, which managed
// clusters often keep out of reach.
QString nodeHost(const QString& nodesJson) {
    const QJsonArray nodes = KubeJson::items(nodesJson);
    for (const QLatin1String type : {QLatin1String("ExternalIP"), QLatin1String("InternalIP")}) {
        for (const bool workers : {true, false}) {
            for (const QJsonValue node : nodes) {
                if (!KubeJson::isConditionTrue(node, QLatin1String("Ready")) ||
                    (workers && isControlPlane(node))) {
                    continue;
                }
                if (QString host = addressOfType(node, type); !host.isEmpty()) {
                    return host;
                }
            }
        }
    }
    return {};
}

} // namespace

bool ServiceAddress::needsNodes(const QString& serviceJson) {
    return parse(serviceJson)[QLatin1String("spec")][QLatin1String("type")].toString() ==
           QLatin1String("NodePort");
}

QString ServiceAddress::formAddress(const QString& host, int port) {
    QUrl url;
    url.setScheme(port == 443 ? QStringLiteral("https") : QStringLiteral("http"));
    url.setHost(host);
    if (port != 80 && port != 443) {
        url.setPort(port);
    }
    return url.toString();
}

ServiceAddress ServiceAddress::fromJson(const QString& serviceJson, const QString& nodesJson) {
    const QJsonObject service = parse(serviceJson);
    ServiceAddress found;
    if (service[QLatin1String("kind")].toString() != QLatin1String("Service")) {
        found.reason = tr("无法解析devtron-service的内容");
        return found;
    }
    const QJsonObject serviceFields = service[QLatin1String("spec")].toObject();
    const QJsonObject port = devtronPort(serviceFields[QLatin1String("ports")].toArray());
    found.servicePort = port[QLatin1String("port")].toInt(80);
    const QString type = serviceFields[QLatin1String("type")].toString(QStringLiteral("ClusterIP"));
    found.source = AddressSource::tunnel;

    if (type == QLatin1String("LoadBalancer")) {
        const QJsonArray ingress = service[QLatin1String("status")][QLatin1String("loadBalancer")]
                                          [QLatin1String("ingress")]
                                              .toArray();
        for (const QJsonValue entry : ingress) {
            QString host = entry[QLatin1String("ip")].toString();
            if (host.isEmpty()) {
                host = entry[QLatin1String("hostname")].toString();
            }
            if (!host.isEmpty()) {
                found.source = AddressSource::loadBalancer;
                found.address = formAddress(host, found.servicePort);
                return found;
            }
        }
        found.reason = tr("负载均衡器尚未分配地址（<pending>）");
        return found;
    }
    if (type == QLatin1String("NodePort")) {
        const int nodePort = port[QLatin1String("nodePort")].toInt();
        const QString host = nodeHost(nodesJson);
        if (nodePort > 0 && !host.isEmpty()) {
            found.source = AddressSource::nodePort;
            found.address = formAddress(host, nodePort);
            return found;
        }
        found.reason = tr("没有可用节点地址来访问NodePort");
        return found;
    }
    //: %1 is the Service's type, such as ClusterIP.
    found.reason = tr("服务类型为%1，集群外无法直接访问").arg(type);
    return found;
}
