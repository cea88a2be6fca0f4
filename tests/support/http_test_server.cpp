#include "support/http_test_server.h"

#include <QTcpSocket>
#include <QTimer>

#include <memory>

HttpTestServer::HttpTestServer()
{
    if (!server_.listen(QHostAddress::LocalHost, 0))
        qFatal("the test HTTP server cannot listen on 127.0.0.1");
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
        while (QTcpSocket *socket = server_.nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                *buffer += socket->readAll();
                for (qsizetype end; (end = buffer->indexOf("\r\n\r\n")) >= 0; buffer->remove(0, end + 4))
                    answer(socket, buffer->left(end));
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString HttpTestServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
}

void HttpTestServer::answer(QTcpSocket *socket, const QByteArray &requestHead)
{
    // "GET /path HTTP/1.1"
    const QString path = QString::fromLatin1(requestHead.split(' ').value(1));
    requests.append(path);
    const Response r = responses_.value(path, {"Not Found", false, -1, false, "404 Not Found"});
    if (r.silent)
        return;
    if (r.raw) {
        socket->write(r.body);
        socket->disconnectFromHost();
        return;
    }
    const QByteArray head = "HTTP/1.1 " + r.status + "\r\nContent-Type: text/plain\r\n" + r.headers;
    if (r.endless) {
        socket->write(head + "Transfer-Encoding: chunked\r\n\r\n");
        const QByteArray chunk = QByteArray::number(r.body.size(), 16) + "\r\n" + r.body + "\r\n";
        // Refilled as the client takes it, so the server itself holds little.
        const auto more = [socket, chunk] {
            while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 256 * 1024)
                socket->write(chunk);
        };
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
        more();
        return;
    }
    if (r.dripMs > 0) {
        socket->write(head + "Content-Length: 1000000\r\n\r\n");
        auto *timer = new QTimer(socket);
        QObject::connect(timer, &QTimer::timeout, socket, [socket, body = r.body, sent = qsizetype(0)]() mutable {
            if (!body.isEmpty())
                socket->write(body.mid(sent++ % body.size(), 1));
        });
        timer->start(r.dripMs);
        return;
    }

    QByteArray out = head;
    if (r.chunked) {
        out += "Transfer-Encoding: chunked\r\nConnection: close\r\n\r\n";
        if (!r.body.isEmpty())
            out += QByteArray::number(r.body.size(), 16) + "\r\n" + r.body + "\r\n";
        out += "0\r\n\r\n";
    } else {
        const qint64 length = r.announcedLength >= 0 ? r.announcedLength : r.body.size();
        out += "Content-Length: " + QByteArray::number(length) + "\r\nConnection: close\r\n\r\n" + r.body;
    }
    socket->write(out);
    if (r.announcedLength < 0)
        socket->disconnectFromHost();
}
