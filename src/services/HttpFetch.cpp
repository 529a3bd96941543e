#include "services/HttpFetch.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>
#include <QStringList>
#include <QTimer>

#include <memory>

std::optional<QString> HttpFetch::run(const QUrl& address, std::chrono::milliseconds limit) {
    QNetworkAccessManager network;
    QNetworkRequest request(address);
    request.setTransferTimeout(static_cast<int>(limit.count()));
    const std::unique_ptr<QNetworkReply> reply(network.get(request));
    QStringList certificateFaults;
    QObject::connect(reply.get(), &QNetworkReply::sslErrors, reply.get(),
                     [&certificateFaults](const QList<QSslError>& errors) {
                         for (const QSslError& error : errors) {
                             certificateFaults << error.errorString();
                         }
                     });
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // The transfer timeout restarts with every byte; a server that trickles is cut off here.
    bool overdue = false;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply.get(), [&overdue, &reply] {
        overdue = true;
        reply->abort();
    });
    deadline.start(limit);
    if (!reply->isFinished()) {
        loop.exec();
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && status >= 200 && status < 300) {
        return std::nullopt;
    }
    if (!certificateFaults.isEmpty()) {
        //: Between two certificate faults.
        const QString separator = tr("；");
        return tr("证书错误：%1").arg(certificateFaults.join(separator));
    }
    if (overdue || reply->error() == QNetworkReply::OperationCanceledError ||
        reply->error() == QNetworkReply::TimeoutError) {
        return tr("%1 秒内没有应答").arg(std::chrono::duration<double>(limit).count());
    }
    if (reply->error() == QNetworkReply::NoError) {
        return tr("HTTP状态 %1").arg(status);
    }
    return reply->errorString();
}
