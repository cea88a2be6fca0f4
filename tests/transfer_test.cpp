// The transfer component: whole documents, and every way a fetch can fail.
#include "app/cp1252.h"
#include "download/inet.h"
#include "support/http_test_server.h"

#include <QNetworkProxy>
#include <QTest>
#include <QTimer>

namespace {

QByteArray everyByte()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes += char(i);
    return bytes;
}

// The kind and reason of the TransferError that fetching url throws.
std::pair<TransferError::Kind, QString> failureOf(Inet &inet, const QString &url)
{
    try {
        inet.OpenURL(url);
    } catch (const TransferError &error) {
        return {error.kind(), error.reason()};
    }
    return {TransferError::Kind::BadUrl, QStringLiteral("<no failure>")};
}

} // namespace

class TransferTest : public QObject
{
    Q_OBJECT

    HttpTestServer *server = nullptr;
    Inet *inet = nullptr;

private slots:
    void initTestCase()
    {
        // Straight to 127.0.0.1, whatever proxy the machine names.
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    }

    void init()
    {
        server = new HttpTestServer;
        inet = new Inet;
    }

    void cleanup()
    {
        delete inet;
        delete server;
    }

    void theDocumentComesBackWithEveryByteKept()
    {
        const QByteArray body = "Alpha\r\nline with lone\nLF\r" + everyByte() + "\r\n";
        server->serve("/db.txt", body);
        const QString text = inet->OpenURL(server->url("/db.txt"));
        QByteArray back;
        QVERIFY(cp1252::encode(text, &back));
        QCOMPARE(back, body);
        QVERIFY(!inet->StillExecuting());
        QCOMPARE(server->requests, QStringList{"/db.txt"});
    }

    void aChunkedDocumentAndAnEmptyOneArriveWhole()
    {
        const QByteArray body = QByteArray(3 << 20, 'x') + "end";
        server->serveChunked("/big.txt", body);
        server->serve("/empty.txt", QByteArray());
        QCOMPARE(inet->OpenURL(server->url("/big.txt")).size(), body.size());
        QCOMPARE(inet->OpenURL(server->url("/empty.txt")), QString());
    }

    void aMissingDocumentReportsTheServersAnswer()
    {
        const auto [kind, reason] = failureOf(*inet, server->url("/missing.txt"));
        QCOMPARE(kind, TransferError::Kind::HttpStatus);
        QCOMPARE(reason, QStringLiteral("the server answered 404 Not Found"));

        HttpTestServer::Response serverError;
        serverError.status = 500;
        serverError.reason = "Internal Server Error";
        serverError.body = "oops";
        server->respond("/broken.txt", serverError);
        QCOMPARE(failureOf(*inet, server->url("/broken.txt")).second,
                 QStringLiteral("the server answered 500 Internal Server Error"));
    }

    void aClosedPortIsNoConnection()
    {
        const QString url = QStringLiteral("http://127.0.0.1:%1/downlist.txt").arg(HttpTestServer::closedPort());
        const auto [kind, reason] = failureOf(*inet, url);
        QCOMPARE(kind, TransferError::Kind::ConnectFailed);
        QVERIFY2(reason.startsWith(QStringLiteral("the server could not be reached (")), qPrintable(reason));
        QVERIFY(!inet->StillExecuting());
    }

    void aServerThatNeverAnswersTimesOutAsATimeOut()
    {
        // Qt itself would end the reply as "cancelled"; the component tells the time-out.
        server->neverAnswer("/downlist.txt");
        inet->setRequestTimeoutMs(300);
        const auto [kind, reason] = failureOf(*inet, server->url("/downlist.txt"));
        QCOMPARE(kind, TransferError::Kind::TimedOut);
        QCOMPARE(reason, QStringLiteral("the server did not answer within 0.3 seconds"));
        QCOMPARE(Inet().requestTimeoutMs(), 60000);
    }

    void aDocumentAnnouncedAsTooLargeIsRefusedAtItsHeaders()
    {
        // The body never comes: only the announced length can stop this fetch
        // before the (long) time-out.
        HttpTestServer::Response huge;
        huge.announcedLength = Inet::kMaxDocumentBytes + 1;
        huge.body = "first bytes";
        server->respond("/huge.txt", huge);
        inet->setRequestTimeoutMs(20000);
        const auto [kind, reason] = failureOf(*inet, server->url("/huge.txt"));
        QCOMPARE(kind, TransferError::Kind::TooLarge);
        QCOMPARE(reason, QStringLiteral("the document is larger than 32 MiB"));
    }

    void aChunkedDocumentIsCountedAsItArrives()
    {
        server->serveChunked("/just.txt", QByteArray(Inet::kMaxDocumentBytes, 'a'));
        server->serveChunked("/over.txt", QByteArray(Inet::kMaxDocumentBytes + 1, 'a'));
        QCOMPARE(inet->OpenURL(server->url("/just.txt")).size(), Inet::kMaxDocumentBytes);
        QCOMPARE(failureOf(*inet, server->url("/over.txt")).first, TransferError::Kind::TooLarge);
    }

    void redirectsAreFollowedOnlyOnTheSameHost()
    {
        server->serve("/moved/downlist.txt", "0\r\n");
        server->redirect("/downlist.txt", server->url("/moved/downlist.txt"));
        QCOMPARE(inet->OpenURL(server->url("/downlist.txt")), QStringLiteral("0\r\n"));
        QCOMPARE(server->requests, (QStringList{"/downlist.txt", "/moved/downlist.txt"}));

        // Refused before any connection to the other host is tried.
        server->redirect("/away.txt", QStringLiteral("http://elsewhere.invalid/away.txt"));
        const auto [kind, reason] = failureOf(*inet, server->url("/away.txt"));
        QVERIFY2(kind == TransferError::Kind::RedirectRefused, qPrintable(reason));
        QCOMPARE(reason, QStringLiteral("the server sent the download on to another host (elsewhere.invalid)"));
    }

    void aRunningFetchIsBusyAndCanBeCancelled()
    {
        server->neverAnswer("/slow.txt");
        bool executing = false;
        TransferError::Kind secondFetch = TransferError::Kind::BadUrl;
        QTimer::singleShot(50, inet, [&] {
            executing = inet->StillExecuting();
            secondFetch = failureOf(*inet, server->url("/slow.txt")).first;
            inet->cancel();
        });
        QCOMPARE(failureOf(*inet, server->url("/slow.txt")).first, TransferError::Kind::Cancelled);
        QVERIFY(executing);
        QCOMPARE(secondFetch, TransferError::Kind::Busy);
        QVERIFY(!inet->StillExecuting());
    }

    void onlyWebAddressesAreFetched()
    {
        QCOMPARE(failureOf(*inet, QStringLiteral("ftp://127.0.0.1/x")).first, TransferError::Kind::BadUrl);
        QCOMPARE(failureOf(*inet, QStringLiteral("downlist.txt")).first, TransferError::Kind::BadUrl);
        QVERIFY(server->requests.isEmpty());
    }

    void closeLeavesTheComponentReadyForTheNextFetch()
    {
        server->serve("/a.txt", "a");
        QCOMPARE(inet->OpenURL(server->url("/a.txt")), QStringLiteral("a"));
        inet->Execute(QString(), QStringLiteral("CLOSE"));
        QCOMPARE(inet->OpenURL(server->url("/a.txt")), QStringLiteral("a"));
    }
};

QTEST_GUILESS_MAIN(TransferTest)
#include "transfer_test.moc"
