// The transfer component: whole documents, the size limit and redirects. The
// download window's tests show every failure of a fetch as the user reads it.
#include "app/cp1252.h"
#include "download/inet.h"
#include "support/http_test_server.h"

#include <QNetworkProxy>
#include <QTest>

namespace {

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

    std::unique_ptr<HttpTestServer> server;
    std::unique_ptr<Inet> inet;

private slots:
    // Straight to 127.0.0.1, whatever proxy the machine names.
    void initTestCase() { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }
    void init()
    {
        server = std::make_unique<HttpTestServer>();
        inet = std::make_unique<Inet>();
    }

    void aDocumentComesBackWithEveryByteKeptUpToTheLimit()
    {
        QByteArray body = "Alpha\r\nline with lone\nLF\r";
        for (int i = 0; i < 256; ++i)
            body += char(i);
        server->serve("/db.txt", body);
        server->serve("/empty.txt", QByteArray());
        QByteArray back;
        QVERIFY(cp1252::encode(inet->OpenURL(server->url("/db.txt")), &back));
        QCOMPARE(back, body);
        QCOMPARE(inet->OpenURL(server->url("/empty.txt")), QString());
        // A chunked document has no announced length: it is counted as it arrives.
        server->serve("/just.txt", QByteArray(Inet::kMaxDocumentBytes, 'a'), true);
        server->serve("/over.txt", QByteArray(Inet::kMaxDocumentBytes + 1, 'a'), true);
        QCOMPARE(inet->OpenURL(server->url("/just.txt")).size(), Inet::kMaxDocumentBytes);
        QCOMPARE(failureOf(*inet, server->url("/over.txt")).first, TransferError::Kind::TooLarge);
    }

    void redirectsAreFollowedOnlyOnTheSameHost()
    {
        server->serve("/moved/downlist.txt", "0\r\n");
        server->redirect("/downlist.txt", server->url("/moved/downlist.txt"));
        QCOMPARE(inet->OpenURL(server->url("/downlist.txt")), QStringLiteral("0\r\n"));
        // Refused before any connection to the other host is tried.
        server->redirect("/away.txt", QStringLiteral("http://elsewhere.invalid/away.txt"));
        QCOMPARE(failureOf(*inet, server->url("/away.txt")).second,
                 QStringLiteral("the server sent the download on to another host (elsewhere.invalid)"));
    }
};

QTEST_GUILESS_MAIN(TransferTest)
#include "transfer_test.moc"
