#include "support/http_test_server.h"

#include <QTcpSocket>

#include <memory>

HttpTestServer::HttpTestServer()
{
    if (!server_.listen(QHostAddress::LocalHost, 0))
        qFatal("the test HTTP server cannot listen on 127.0.0.1");
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { onNewConnection(); });
}

HttpTestServer::~HttpTestServer()
{
    server_.close();
}

QString HttpTestServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void HttpTestServer::serve(const QString &path, const QByteArray &body)
{
    Response r;
    r.body = body;
    respond(path, r);
}

void HttpTestServer::serveChunked(const QString &path, const QByteArray &body)
{
    Response r;
    r.body = body;
    r.chunked = true;
    respond(path, r);
}

void HttpTestServer::respond(const QString &path, const Response &response)
{
    responses_.insert(path, response);
}

void HttpTestServer::redirect(const QString &path, const QString &location)
{
    Response r;
    r.status = 302;
    r.reason = "Found";
    r.headers.append({"Location", location.toUtf8()});
    respond(path, r);
}

void HttpTestServer::neverAnswer(const QString &path)
{
    Response r;
    r.silent = true;
    respond(path, r);
}

quint16 HttpTestServer::closedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        qFatal("cannot find a free port");
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void HttpTestServer::onNewConnection()
{
    while (QTcpSocket *socket = server_.nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            *buffer += socket->readAll();
            for (qsizetype end = buffer->indexOf("\r\n\r\n"); end >= 0; end = buffer->indexOf("\r\n\r\n")) {
                const QByteArray head = buffer->left(end);
                buffer->remove(0, end + 4);
                answer(socket, head);
            }
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void HttpTestServer::answer(QTcpSocket *socket, const QByteArray &requestHead)
{
    const QList<QByteArray> requestLine = requestHead.left(requestHead.indexOf("\r\n")).split(' ');
    const QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine[1]) : QString();
    requests.append(path);

    Response r;
    if (responses_.contains(path)) {
        r = responses_.value(path);
    } else {
        r.status = 404;
        r.reason = "Not Found";
        r.body = "<html><body>Not Found</body></html>";
    }
    if (r.silent)
        return;

    QByteArray out = "HTTP/1.1 " + QByteArray::number(r.status) + ' ' + r.reason + "\r\n";
    out += "Content-Type: text/plain\r\n";
    for (const auto &header : r.headers)
        out += header.first + ": " + header.second + "\r\n";
    if (r.chunked) {
        out += "Transfer-Encoding: chunked\r\n";
    } else {
        out += "Content-Length: " + QByteArray::number(r.announcedLength >= 0 ? r.announcedLength : r.body.size()) + "\r\n";
    }
    out += "Connection: close\r\n\r\n";
    socket->write(out);
    if (r.chunked) {
        constexpr qsizetype kChunk = 1 << 20;
        for (qsizetype at = 0; at < r.body.size(); at += kChunk) {
            const QByteArray piece = r.body.mid(at, kChunk);
            socket->write(QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n");
        }
        socket->write("0\r\n\r\n");
    } else {
        socket->write(r.body);
    }
    if (r.announcedLength < 0)
        socket->disconnectFromHost();
}
