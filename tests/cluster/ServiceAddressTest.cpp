#include "cluster/ServiceAddress.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString service(const char* type, const char* ports, const char* status = "{}") {
    return QString::fromUtf8(R"({"kind":"Service","spec":{"type":"%1","ports":%2},"status":%3})")
        .arg(QLatin1String(type), QLatin1String(ports), QLatin1String(status));
}

QString node(const char* ready, const char* addresses, bool controlPlane = false) {
    return QString::fromUtf8(R"({"metadata":{"labels":{%1}},"status":{"conditions":[{"type":)"
                             R"("Ready","status":"%2"}],"addresses":%3}})")
        .arg(controlPlane ? u"\"node-role.kubernetes.io/control-plane\":\"\""_s : QString(),
             QLatin1String(ready), QLatin1String(addresses));
}

TEST(ServiceAddress, EachShapeGivesItsAddressOrATunnel) {
    const char* devtronPorts = R"([{"name":"metrics","port":9090},{"name":"devtron","port":80,)"
                               R"("nodePort":31234}])";
    const QString internalOnly = node("True", R"([{"type":"InternalIP","address":"10.0.0.5"}])");
    const QString external = node(
        "True",
        R"([{"type":"InternalIP","address":"10.0.0.6"},{"type":"ExternalIP","address":"203.0.113.9"}])");
    const QString down = node("False", R"([{"type":"ExternalIP","address":"203.0.113.1"}])");
    const QString controlPlane =
        node("True", R"([{"type":"ExternalIP","address":"203.0.113.2"}])", true);
    const auto nodes = [](const QStringList& items) {
        return u"{\"items\":["_s + items.join(u',') + u"]}"_s;
    };
    struct Case {
        QString service;
        QString nodes;
        AddressSource source;
        QString address;
        int servicePort;
    };
    const Case cases[] = {
        {service("LoadBalancer", devtronPorts,
                 R"({"loadBalancer":{"ingress":[{"ip":"1.2.3.4"}]}})"),
         {},
         AddressSource::loadBalancer,
         u"http://1.2.3.4"_s,
         80},
        {service("LoadBalancer", R"([{"port":8080}])",
                 R"({"loadBalancer":{"ingress":[{"hostname":"lb.example.com"}]}})"),
         {},
         AddressSource::loadBalancer,
         u"http://lb.example.com:8080"_s,
         8080},
        {service("LoadBalancer", R"([{"port":443}])",
                 R"({"loadBalancer":{"ingress":[{"ip":"2001:db8::1"}]}})"),
         {},
         AddressSource::loadBalancer,
         u"https://[2001:db8::1]"_s,
         443},
        {service("LoadBalancer", devtronPorts, R"({"loadBalancer":{}})"),
         {},
         AddressSource::tunnel,
         {},
         80},
        // A worker's external address beats a control plane's and any internal one; a node that
        // is not Ready is never used.
        {service("NodePort", devtronPorts), nodes({down, controlPlane, internalOnly, external}),
         AddressSource::nodePort, u"http://203.0.113.9:31234"_s, 80},
        {service("NodePort", devtronPorts), nodes({down, internalOnly}), AddressSource::nodePort,
         u"http://10.0.0.5:31234"_s, 80},
        {service("NodePort", devtronPorts), nodes({down}), AddressSource::tunnel, {}, 80},
        {service("ClusterIP", R"([{"name":"http","port":8000},{"port":80}])"),
         {},
         AddressSource::tunnel,
         {},
         8000},
        {u"not json"_s, {}, AddressSource::none, {}, 80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.service.toStdString());
        EXPECT_EQ(ServiceAddress::needsNodes(c.service), c.service.contains(u"NodePort"_s));
        const ServiceAddress found = ServiceAddress::fromJson(c.service, c.nodes);
        EXPECT_EQ(found.source, c.source);
        EXPECT_EQ(found.address, c.address);
        EXPECT_EQ(found.servicePort, c.servicePort);
        EXPECT_EQ(found.reason.isEmpty(), !c.address.isEmpty());
    }
}

} // namespace
