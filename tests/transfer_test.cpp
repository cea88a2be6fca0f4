// The transfer service: whole documents, the size limit, redirects and
// servers that misbehave on purpose. The download window's tests show how the
// user reads a failure of a fetch.
#include "support/http_test_server.h"
#include "transfer/transfer_service.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

// The sanitizer's own bookkeeping makes the process far larger: memory is
// measured only without it.
#if defined(__SANITIZE_ADDRESS__)
#define MEASURES_MEMORY 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MEASURES_MEMORY 0
#endif
#endif
#ifndef MEASURES_MEMORY
#define MEASURES_MEMORY 1
#endif

using transfer::TransferError;
using transfer::TransferService;

namespace {

// What fetching url ends with: the document, or the error (a reason of
// "<no failure>" when the document came, "<no end>" when nothing came).
struct Fetched
{
    QByteArray document;
    TransferError error;
};

Fetched fetched(TransferService &service, const QString &url)
{
    Fetched got{{}, TransferError{TransferError::Kind::BadUrl, QStringLiteral("<no end>")}};
    QEventLoop loop;
    QObject::connect(&service, &TransferService::finished, &loop, [&](const QByteArray &document) {
        got = {document, TransferError{TransferError::Kind::BadUrl, QStringLiteral("<no failure>")}};
        loop.quit();
    });
    QObject::connect(&service, &TransferService::failed, &loop, [&](const TransferError &error) {
        got.error = error;
        loop.quit();
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    service.fetch(url);
    loop.exec();
    return got;
}

} // namespace

class TransferTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<HttpTestServer> server;
    std::unique_ptr<TransferService> service;

    QString reasonFetching(const QString &path) { return fetched(*service, server->url(path)).error.reason; }

private slots:
    // Straight to 127.0.0.1, whatever proxy the machine names.
    void initTestCase() { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }
    void init()
    {
        server = std::make_unique<HttpTestServer>();
        service = std::make_unique<TransferService>();
    }

    // First, while the process is still small: an endless body is refused at
    // the size limit long before any time-out, holding little more than the
    // largest document. Every other misbehaviour ends with its own reason.
    void hostileServersEndWithTheirRealReasonWithinTheirBounds()
    {
        service->setRequestTimeoutMs(20000);
        service->setOverallTimeoutMs(60000);
        server->serveEndless("/endless.txt", QByteArray(16 * 1024, 'x'));
        QCOMPARE(reasonFetching("/endless.txt"), QStringLiteral("the document is larger than 32 MiB"));
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        qInfo("peak memory after the endless body: %ld MiB", usage.ru_maxrss / 1024);
        if (MEASURES_MEMORY)
            QVERIFY(usage.ru_maxrss < 100 * 1024);

        server->redirect("/a", server->url("/b"));
        server->redirect("/b", server->url("/a"));
        QCOMPARE(reasonFetching("/a"), QStringLiteral("the server sent the download on more than 10 times (a redirect loop)"));
        server->redirect("/ftp", QStringLiteral("ftp://127.0.0.1/db.txt"));
        QCOMPARE(reasonFetching("/ftp"), QStringLiteral("the server sent the download on to an address that is not a "
                                                        "web address (ftp://127.0.0.1/db.txt)"));
        server->respond("/packed.txt", {"not gzip at all", false, -1, false, "200 OK", "Content-Encoding: gzip\r\n"});
        QCOMPARE(reasonFetching("/packed.txt"),
                 QStringLiteral("the server sent the document compressed (gzip) in a form that cannot be read"));
        server->respond("/secret.txt", {"hidden", false, -1, false, "200 OK", "Content-Encoding: x-secret\r\n"});
        QCOMPARE(reasonFetching("/secret.txt"),
                 QStringLiteral("the server sent the document encoded as \"x-secret\", which cannot be read"));
        server->answerRaw("/garbage.txt", "SSH-2.0-OpenSSH_9.2\r\n\x01\x02\x03");
        QCOMPARE(reasonFetching("/garbage.txt"), QStringLiteral("the server did not answer in HTTP"));
        server->answerRaw("/cut.txt", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly part");
        QCOMPARE(reasonFetching("/cut.txt"), QStringLiteral("the connection ended before the whole document had come"));
        // A byte every 20 ms is never silent long enough for the time-out.
        service->setOverallTimeoutMs(300);
        server->drip("/drip.txt", "x", 20);
        QCOMPARE(reasonFetching("/drip.txt"),
                 QStringLiteral("the server sent the document too slowly: it was not complete after 0.3 seconds"));
    }

    void aDocumentComesBackWithEveryByteKeptUpToTheLimit()
    {
        QByteArray body = "Alpha\r\nline with lone\nLF\r";
        for (int i = 0; i < 256; ++i)
            body += char(i);
        server->serve("/db.txt", body);
        server->serve("/empty.txt", QByteArray());
        QCOMPARE(fetched(*service, server->url("/db.txt")).document, body);
        QCOMPARE(fetched(*service, server->url("/empty.txt")).document, QByteArray());
        // A chunked document has no announced length: it is counted as it arrives.
        server->serve("/just.txt", QByteArray(TransferService::kMaxDocumentBytes, 'a'), true);
        server->serve("/over.txt", QByteArray(TransferService::kMaxDocumentBytes + 1, 'a'), true);
        QCOMPARE(fetched(*service, server->url("/just.txt")).document.size(), TransferService::kMaxDocumentBytes);
        QCOMPARE(fetched(*service, server->url("/over.txt")).error.kind, TransferError::Kind::TooLarge);
    }

    void redirectsAreFollowedOnlyOnTheSameHostAndAsFarAsTheyGo()
    {
        server->serve("/moved/downlist.txt", "0\r\n");
        server->redirect("/downlist.txt", server->url("/hop"));
        server->redirect("/hop", QStringLiteral("/moved/hop"));
        server->redirect("/moved/hop", QStringLiteral("downlist.txt"));
        QCOMPARE(fetched(*service, server->url("/downlist.txt")).document, QByteArray("0\r\n"));
        // Refused before any connection to the other host is tried.
        server->redirect("/away.txt", QStringLiteral("http://elsewhere.invalid/away.txt"));
        QCOMPARE(fetched(*service, server->url("/away.txt")).error.reason,
                 QStringLiteral("the server sent the download on to another host (elsewhere.invalid)"));
    }
};

QTEST_GUILESS_MAIN(TransferTest)
#include "transfer_test.moc"
