#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTcpServer>

// A small HTTP server for tests, on 127.0.0.1 at a free port, running on the
// test's own thread: it answers while the code under test waits in an event
// loop. It serves documents by path and misbehaves on demand; a path it does
// not know gets 404 Not Found.
class HttpTestServer
{
public:
    struct Response
    {
        QByteArray body;
        // Send the body as a chunk, without a Content-Length.
        bool chunked = false;
        // Announce this length instead of the body's own (the body is sent as is
        // and the connection stays open).
        qint64 announcedLength = -1;
        // Read the request and never answer.
        bool silent = false;
        QByteArray status = "200 OK";
        // More header lines, each ending in CR LF.
        QByteArray headers;
        // Send the body as a chunk again and again, without end.
        bool endless = false;
        // Send the body one byte every this many milliseconds (a timer, on the
        // test's thread), announcing a length of a million bytes.
        int dripMs = 0;
        // Send the body as it stands, without any HTTP, and close.
        bool raw = false;
    };

    HttpTestServer();

    // "http://127.0.0.1:PORT" followed by path.
    QString url(const QString &path) const;

    void respond(const QString &path, const Response &response) { responses_.insert(path, response); }
    void serve(const QString &path, const QByteArray &body, bool chunked = false) { respond(path, {body, chunked}); }
    void neverAnswer(const QString &path) { respond(path, {{}, false, -1, true}); }
    void redirect(const QString &path, const QString &location)
    {
        respond(path, {{}, false, -1, false, "302 Found", "Location: " + location.toUtf8() + "\r\n"});
    }
    void serveEndless(const QString &path, const QByteArray &chunk)
    {
        Response r{chunk};
        r.endless = true;
        respond(path, r);
    }
    void drip(const QString &path, const QByteArray &body, int everyMs)
    {
        Response r{body};
        r.dripMs = everyMs;
        respond(path, r);
    }
    void answerRaw(const QString &path, const QByteArray &bytes)
    {
        Response r{bytes};
        r.raw = true;
        respond(path, r);
    }

    // The paths requested so far, in order.
    QStringList requests;

private:
    void answer(QTcpSocket *socket, const QByteArray &requestHead);

    QTcpServer server_;
    QHash<QString, Response> responses_;
};
