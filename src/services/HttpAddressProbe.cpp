#include "services/HttpAddressProbe.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

HttpAddressProbe::HttpAddressProbe() : m_network(std::make_unique<QNetworkAccessManager>()) {}

// The manager is the connections' context: destroying it drops every unanswered callback
// before its replies go.
HttpAddressProbe::~HttpAddressProbe() = default;

void HttpAddressProbe::probe(const QUrl& address, std::chrono::milliseconds limit,
                             std::function<void(bool answered)> done) {
    QNetworkRequest request(address);
    request.setTransferTimeout(static_cast<int>(limit.count()));
    QNetworkReply* reply = m_network->get(request);
    // Devtron often serves a certificate of its own: any answer shows that it is up.
    QObject::connect(reply, &QNetworkReply::sslErrors, reply,
                     [reply](const QList<QSslError>&) { reply->ignoreSslErrors(); });
    QObject::connect(reply, &QNetworkReply::finished, m_network.get(),
                     [reply, done = std::move(done)] {
                         reply->deleteLater();
                         done(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid());
                     });
}
