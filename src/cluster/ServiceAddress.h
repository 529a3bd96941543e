#pragma once

#include "session/AddressSource.h"

#include <QCoreApplication>
#include <QString>

// Where Devtron's dashboard Service devtron-service can be reached from this machine, read from
// kubectl's JSON of the Service (and of the nodes, for a NodePort): a load balancer's ingress, a
// node's address with the node port, or nothing reachable, which calls for a local tunnel to the
// Service's port. Widget-free and stateless, so that every rule can be checked on plain texts.
struct ServiceAddress {
    Q_DECLARE_TR_FUNCTIONS(ServiceAddress)

public:
    // loadBalancer or nodePort with an address; tunnel without one; none when the text is not a
    // Service.
    AddressSource source = AddressSource::none;
    QString address;
    // The Service's port for Devtron: the one named "devtron", else "http", else the first.
    int servicePort = 80;
    // Why a tunnel is needed, in the user's words.
    QString reason;

    // Whether the Service is a NodePort, so that the nodes are needed to form the address.
    static bool needsNodes(const QString& serviceJson);
    static ServiceAddress fromJson(const QString& serviceJson, const QString& nodesJson = {});
    // "http://host[:port]"; port 80 over HTTP and 443 over HTTPS are left out.
    static QString formAddress(const QString& host, int port);
};
