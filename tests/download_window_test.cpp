// The download window against a real HTTP server on 127.0.0.1: the on-line
// list, the download, the timers, and every failure of a fetch.
#include "base/dialogs.h"
#include "download/download_files.h"
#include "storage/text_file.h"
#include "support/http_test_server.h"
#include "support/program_fixture.h"
#include "transfer/transfer_service.h"
#include "windows/download_window.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QNetworkProxy>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

using download::databaseFilePath;
using download::listFilePath;

class DownloadWindowTest : public DialogsFixture
{
    Q_OBJECT

    std::unique_ptr<HttpTestServer> server;
    TestFolder folder;
    std::unique_ptr<program::Program> program;
    std::unique_ptr<windows::DownloadWindow> window;
    std::unique_ptr<QSignalSpy> downloaded;

    template <class T = QWidget>
    T *control(const char *name) const { return window->findChild<T *>(QLatin1String(name)); }
    QStringList shownNames() const
    {
        QStringList names;
        for (int i = 0; i < control<QListWidget>("List1")->count(); ++i)
            names += control<QListWidget>("List1")->item(i)->text();
        return names;
    }
    bool buttons(bool connect, bool download) const
    {
        return control("Command1")->isEnabled() == connect && control("Command4")->isEnabled() == download;
    }
    // One tick of a timer, whose handler runs before the spy sees it.
    void tick(const char *timer)
    {
        auto *t = control<QTimer>(timer);
        QSignalSpy ticked(t, &QTimer::timeout);
        t->start(0);
        QVERIFY(ticked.wait());
        t->stop();
    }
    // The program's fetch has ended and its end is shown.
    void fetchEnds() { QTRY_VERIFY(!program->downloadBusy()); }
    void connectAndShowList()
    {
        window->findChild<QPushButton *>("Command1")->click();
        fetchEnds();
        tick("Timer2");
        tick("Timer1");
    }
    void download(int row)
    {
        control<QListWidget>("List1")->setCurrentRow(row);
        control<QPushButton>("Command4")->click();
        fetchEnds();
    }
    // The message of a failed fetch; a failed Connect adds what to check.
    void expectFetchFailure(const QString &file, const QString &reason)
    {
        QString advice;
        if (file == "downlist.txt")
            advice = QStringLiteral(" Please check that a download server is running at %1 and that this is the right "
                                    "address; the program takes another one when it starts (--download-url ADDRESS).")
                         .arg(server->url("/mud/"));
        dialogs.expectMessage(QStringLiteral("Could not download %1: %2.").arg(server->url("/mud/" + file), reason)
                              + advice);
    }

private slots:
    void initTestCase()
    {
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        QStandardPaths::setTestModeEnabled(true);
    }
    // The window open on the test server's folder /mud/, its timers stopped:
    // the tests tick them.
    void init()
    {
        QDir(download::privateDownloadFolder()).removeRecursively();
        DialogsFixture::init();
        server = std::make_unique<HttpTestServer>();
        server->serve("/mud/downlist.txt", crlf({"2", "Alpha", "alpha.txt", "Beta", "beta.txt"}));
        program = std::make_unique<program::Program>(folder.path(), server->url("/mud"));
        window = std::make_unique<windows::DownloadWindow>(*program, dialogs);
        downloaded = std::make_unique<QSignalSpy>(window.get(), &windows::DownloadWindow::downloaded);
        control<QTimer>("Timer1")->stop();
        control<QTimer>("Timer2")->stop();
        window->show();
    }
    void cleanup()
    {
        window.reset();
        program.reset();
        DialogsFixture::cleanup();
    }
    void cleanupTestCase() { QDir(download::privateDownloadFolder()).removeRecursively(); }

    void theListShowsEachEntryOnceAndDownloadFetchesTheChosenFileFromTheFolder()
    {
        server->serve("/mud/beta.txt", "sword\r\nsharp|");
        QCOMPARE(control<QLabel>("serverLabel")->text(), "Server: " + server->url("/mud/"));
        control<QPushButton>("Command1")->click();
        QVERIFY(buttons(false, false));
        fetchEnds();
        QCOMPARE(storage::readFile(listFilePath()), crlf({"2", "Alpha", "alpha.txt", "Beta", "beta.txt", ""}));
        tick("Timer2"); // the fetch is over
        QVERIFY(buttons(true, true));
        tick("Timer1");
        QCOMPARE(shownNames(), (QStringList{"Alpha", "Beta"}));
        QVERIFY(!QFile::exists(listFilePath()));
        dialogs.expectMessage(QStringLiteral("Please select a database in the list first, then press Download."));
        control<QPushButton>("Command4")->click();
        connectAndShowList();
        QCOMPARE(shownNames(), (QStringList{"Alpha", "Beta"}));

        // Download pressed while another list waits for the list timer: the window
        // stays in its downloading state until it is closed.
        control<QPushButton>("Command1")->click();
        fetchEnds();
        tick("Timer2");
        download(1);
        QCOMPARE(server->requests, QStringList(3, "/mud/downlist.txt") << "/mud/beta.txt");
        QCOMPARE(storage::readFile(databaseFilePath()), QByteArray("sword\r\nsharp|\r\n")); // and one line end
        QCOMPARE(downloaded->count(), 1);
        tick("Timer1");
        tick("Timer2");
        QVERIFY(buttons(false, false));
        QCOMPARE(control<QLabel>("Label1")->text(), "Downloading...\n\nPlease wait, this may take several minuets...");
    }

    void aListIsShownAsFarAsItHoldsEntriesAndTheFifthTickWithoutOneGivesUp()
    {
        // A count of 0 (or no number): no entries, the list file deleted, only Connect offered.
        server->serve("/mud/downlist.txt", crlf({"0", "Alpha", "alpha.txt"}));
        connectAndShowList();
        QVERIFY(shownNames().isEmpty() && buttons(true, false) && !QFile::exists(listFilePath()));
        server->serve("/mud/downlist.txt", crlf({"3", "Alpha", "alpha.txt", "Beta", "beta.txt"}));
        dialogs.expectMessage(
            QStringLiteral("The list of databases announces 3 entries but holds only 2; the 2 it holds are shown."));
        connectAndShowList();
        QCOMPARE(shownNames(), (QStringList{"Alpha", "Beta"}));

        control<QPushButton>("Command1")->click();
        fetchEnds();
        QVERIFY(QFile::remove(listFilePath()));
        for (int n = 1; n <= 5; ++n) {
            dialogs.expectBeep();
            if (n == 5)
                dialogs.expectMessage(QStringLiteral("Could not download list, please try later"));
            tick("Timer1");
        }
        tick("Timer1"); // back in the opened state: the timers are idle
        tick("Timer2");
        QVERIFY(shownNames().isEmpty() && buttons(true, false));
    }

    void aFailedFetchIsReportedAndLeavesNoFileHalfWritten()
    {
        connectAndShowList();
        // alpha.txt is not there; beta.txt announces more than 32 MiB and never sends them.
        server->respond("/mud/beta.txt", {"", false, transfer::TransferService::kMaxDocumentBytes + 1});
        const QByteArray earlier = crlf({"earlier", "download|"});
        storage::saveAtomically(databaseFilePath(), earlier);
        expectFetchFailure("alpha.txt", "the server answered 404 Not Found");
        download(0);
        expectFetchFailure("beta.txt", "the document is larger than 32 MiB");
        download(1);
        QCOMPARE(storage::readFile(databaseFilePath()), earlier);
        QVERIFY(downloaded->isEmpty() && buttons(true, true));

        server->neverAnswer("/mud/downlist.txt");
        program->findChild<transfer::TransferService *>()->setRequestTimeoutMs(200);
        expectFetchFailure("downlist.txt", "the server did not answer within 0.2 seconds");
        control<QPushButton>("Command1")->click();
        fetchEnds();
        QVERIFY(buttons(true, true) && !QFile::exists(listFilePath()));

        // Closed during a fetch: the fetch stops and the window closes once it has, without a word.
        control<QPushButton>("Command1")->click();
        window->close();
        QVERIFY(window->isVisible());
        QTRY_VERIFY(!window->isVisible());
    }

    void anUnreachableServerIsNamedInTheMessage()
    {
        expectFetchFailure("downlist.txt", "the server could not be reached (Connection refused)");
        server.reset(); // its port is closed now
        control<QPushButton>("Command1")->click();
        fetchEnds();
    }
};

QTEST_MAIN(DownloadWindowTest)
#include "download_window_test.moc"
