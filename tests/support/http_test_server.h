#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTcpServer>

// A small HTTP server for tests, on 127.0.0.1 at a free port, running on the
// test's own thread: it answers while the code under test waits in an event
// loop. It serves files by path and misbehaves on demand. A path it does not
// know gets 404 Not Found.
class HttpTestServer
{
public:
    struct Response
    {
        int status = 200;
        QByteArray reason = "OK";
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        // Send the body in chunks, without a Content-Length.
        bool chunked = false;
        // Announce this length instead of the body's own (the body is sent as is
        // and the connection stays open).
        qint64 announcedLength = -1;
        // Read the request and never answer.
        bool silent = false;
    };

    HttpTestServer();
    ~HttpTestServer();

    quint16 port() const { return server_.serverPort(); }
    // "http://127.0.0.1:PORT" followed by path.
    QString url(const QString &path = QStringLiteral("/")) const;

    void serve(const QString &path, const QByteArray &body);
    void serveChunked(const QString &path, const QByteArray &body);
    void respond(const QString &path, const Response &response);
    void redirect(const QString &path, const QString &location);
    void neverAnswer(const QString &path);

    // The paths requested so far, in order.
    QStringList requests;

    // A port on 127.0.0.1 where nothing listens.
    static quint16 closedPort();

private:
    void onNewConnection();
    void answer(QTcpSocket *socket, const QByteArray &requestHead);

    QTcpServer server_;
    QHash<QString, Response> responses_;
};
