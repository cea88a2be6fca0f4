// The download window against a real HTTP server on 127.0.0.1: the on-line
// list, the download, the timers, and every failure of a fetch.
#include "app/module1.h"
#include "app/twips.h"
#include "catalogue/form6.h"
#include "download/download_files.h"
#include "download/download_url.h"
#include "download/form5.h"
#include "download/inet.h"
#include "main_window/form1.h"
#include "support/http_test_server.h"
#include "support/scripted_dialogs.h"
#include "support/test_folder.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QNetworkProxy>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QString kInstructions = QStringLiteral(
    "Connect to show the on-line list of MUD databases.  Then make the choice of the MUD that you want from the list "
    "and hit download.");
const QByteArray kAlphaBeta = crlf({"2", "Alpha", "alpha.txt", "Beta", "beta.txt"});

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class Form5Test : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<Module1> state;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> main;
    std::unique_ptr<HttpTestServer> server;
    QPointer<Form5> form;
    // Checks List1's model; it must go before the window does.
    std::unique_ptr<QAbstractItemModelTester> tester;

    // The download window of a started program, fetching from the test server's
    // folder /mud/. Its timers are stopped: the tests call their handlers.
    Form5 *open()
    {
        form = main->windows().show<Form5>([this] { return new Form5(*main, server->url("/mud")); });
        form->Timer1->stop();
        form->Timer2->stop();
        tester = std::make_unique<QAbstractItemModelTester>(
            form->List1->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        return form;
    }

    QString url(const QString &file) const { return server->url("/mud/" + file); }
    QStringList shownNames() const
    {
        QStringList names;
        for (int i = 0; i < form->List1->count(); ++i)
            names.append(form->List1->item(i)->text());
        return names;
    }
    bool buttons(bool connect, bool download) const
    {
        return form->Command1->isEnabled() == connect && form->Command4->isEnabled() == download;
    }
    // Connect, then the timer ticks that read the list.
    void connectAndShowList()
    {
        form->Command1_Click();
        form->Timer2_Timer();
        form->Timer1_Timer();
    }

private slots:
    void initTestCase()
    {
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        QStandardPaths::setTestModeEnabled(true);
    }

    void init()
    {
        QDir(downloadfiles::privateFolder()).removeRecursively();
        folder = std::make_unique<TestFolder>();
        folder->write("pref.txt", crlf({" 0 ", " 65280 ", " 65280 "}));
        folder->write("database.txt", sampleItemBytes());
        folder->write("datalist.txt", crlf({"1", "database", "database.txt"}));
        dialogs.reset();
        state = std::make_unique<Module1>(folder->path());
        main = std::make_unique<Form1>(*state, dialogs);
        main->startUp();
        server = std::make_unique<HttpTestServer>();
        server->serve("/mud/downlist.txt", kAlphaBeta);
    }

    void cleanup()
    {
        VERIFY_DIALOGS(dialogs);
        tester.reset();
        main.reset();
        server.reset();
        state.reset();
    }

    void cleanupTestCase() { QDir(downloadfiles::privateFolder()).removeRecursively(); }

    void theWindowOpensAsDesigned()
    {
        open();
        QCOMPARE(form->windowTitle(), QStringLiteral("Download Current MUD Databases"));
        QCOMPARE(form->size(), clientPixels(5520, 3000));
        QCOMPARE(twipsOf(form->Command1), (TwipRect{3600, 120, 1815, 375}));
        QCOMPARE(twipsOf(form->List1), (TwipRect{120, 120, 3375, 2790}));
        QCOMPARE(twipsOf(form->Command4), (TwipRect{3600, 2520, 1815, 375}));
        QCOMPARE(twipsOf(form->Label1), (TwipRect{3600, 600, 1815, 1335}));
        QCOMPARE(form->Label1->text(), kInstructions);
        QCOMPARE(form->Command1->text(), QStringLiteral("Connect"));
        QCOMPARE(form->Command4->text(), QStringLiteral("Download"));
        QVERIFY(buttons(true, false));
        QVERIFY(!form->list_pending);
        QCOMPARE(form->dl_names.size(), 1001);
        QCOMPARE(form->Inet1->requestTimeoutMs(), 60000);
        for (QWidget *w : {static_cast<QWidget *>(form->Command1), static_cast<QWidget *>(form->List1),
                           static_cast<QWidget *>(form->Command4)})
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        QCOMPARE(form->listUrl(), url("downlist.txt"));

        // A new window starts with running timers.
        tester.reset();
        form->close();
        QTRY_VERIFY(form.isNull());
        main->mnuDownload_Click();
        Form5 *fresh = main->windows().find<Form5>();
        QVERIFY(fresh);
        QVERIFY(fresh->Timer1->isActive() && fresh->Timer1->interval() == 5000);
        QVERIFY(fresh->Timer2->isActive() && fresh->Timer2->interval() == 1000);
        QCOMPARE(fresh->downloadFolderUrl(), defaultDownloadFolderUrl());
        QVERIFY(fresh->downloadFolderUrl().endsWith('/'));
        main->mnuDownload_Click();
        QCOMPARE(main->windows().find<Form5>(), fresh);
    }

    void theListExampleShowsAlphaAndBetaAndDownloadsBetaFromTheFolder()
    {
        server->serve("/mud/beta.txt", crlf({"sword", "sharp|"}));
        open();
        form->Command1_Click();
        QVERIFY(form->list_pending);
        QVERIFY(buttons(false, false));
        QCOMPARE(fileBytes(downloadfiles::listFilePath()), kAlphaBeta + "\r\n");

        form->Timer2_Timer(); // the fetch is over
        QVERIFY(buttons(true, true));
        form->Timer1_Timer();
        QCOMPARE(shownNames(), (QStringList{"Alpha", "Beta"}));
        QCOMPARE(form->dl_names.mid(0, 4), (QVector<QString>{"", "Alpha", "Beta", ""}));
        QCOMPARE(form->dl_files.mid(0, 4), (QVector<QString>{"", "alpha.txt", "beta.txt", ""}));
        QVERIFY(!form->list_pending);
        QVERIFY(!QFile::exists(downloadfiles::listFilePath()));
        QVERIFY(buttons(true, true));

        form->List1->setCurrentRow(1);
        form->Command4_Click();
        QCOMPARE(server->requests, (QStringList{"/mud/downlist.txt", "/mud/beta.txt"}));
        QCOMPARE(form->Label1->text(), QStringLiteral("Downloading...\n\nPlease wait, this may take several minuets..."));
        QVERIFY(buttons(false, false));
        QVERIFY(main->windows().find<Form6>());
        QCOMPARE(main->windows().find<Form6>()->List1->currentItem()->text(), QStringLiteral("database"));
        // Timer2 leaves the buttons alone now.
        form->Timer2_Timer();
        QVERIFY(buttons(false, false));
    }

    void downloadingBeforeTheListIsReadKeepsTheDownloadedState()
    {
        server->serve("/mud/alpha.txt", crlf({"sword", "sharp|"}));
        open();
        connectAndShowList();
        form->Command1_Click(); // a second list is pending
        form->Timer2_Timer();
        form->List1->setCurrentRow(0);
        form->Command4_Click();
        QVERIFY(main->windows().find<Form6>());
        form->Timer1_Timer();
        form->Timer2_Timer();
        QVERIFY(buttons(false, false));
        QCOMPARE(form->Label1->text(), QStringLiteral("Downloading...\n\nPlease wait, this may take several minuets..."));
    }

    void theTimersDoNothingWhileNoListIsPending()
    {
        open();
        form->Timer1_Timer();
        form->Timer2_Timer();
        QVERIFY(buttons(true, false));
        QVERIFY(server->requests.isEmpty());
    }

    void aCountOfZeroOrNoNumberShowsNoEntriesAndDeletesTheListFile()
    {
        open();
        for (const QByteArray &list : {crlf({"0", "Alpha", "alpha.txt"}), crlf({"none", "Alpha", "alpha.txt"})}) {
            server->serve("/mud/downlist.txt", list);
            connectAndShowList();
            QVERIFY2(shownNames().isEmpty(), list.constData());
            QVERIFY(!QFile::exists(downloadfiles::listFilePath()));
            QVERIFY(!form->list_pending);
            // Nothing to download: only Connect is offered.
            QVERIFY(buttons(true, false));
        }
    }

    void connectingTwiceShowsEachEntryOnce()
    {
        open();
        connectAndShowList();
        connectAndShowList();
        QCOMPARE(shownNames(), (QStringList{"Alpha", "Beta"}));
        QCOMPARE(server->requests.size(), 2);
    }

    void aClickOnADisabledButtonDoesNothing()
    {
        // Clicks that waited while a fetch held the window come afterwards.
        open();
        form->Command1_Click();
        form->Command1_Click();
        form->Command4_Click();
        QCOMPARE(server->requests, QStringList{"/mud/downlist.txt"});
    }

    void aListShorterThanItsCountShowsWhatItHoldsAndSaysSo()
    {
        server->serve("/mud/downlist.txt", crlf({"3", "Alpha", "alpha.txt", "Beta", "beta.txt"}));
        open();
        dialogs.expectMessage(
            QStringLiteral("The list of databases announces 3 entries but holds only 2; the 2 it holds are shown."));
        connectAndShowList();
        QCOMPARE(shownNames(), (QStringList{"Alpha", "Beta"}));
    }

    void aDownloadedTextIsStoredWithOneLineEndAdded()
    {
        server->serve("/mud/alpha.txt", "x\r\ny");
        open();
        connectAndShowList();
        form->List1->setCurrentRow(0);
        form->Command4_Click();
        QCOMPARE(fileBytes(downloadfiles::databaseFilePath()), QByteArray("x\r\ny\r\n"));
    }

    void downloadWithoutASelectionAsksForOne()
    {
        open();
        connectAndShowList();
        dialogs.expectMessage(QStringLiteral("Please select a database in the list first, then press Download."));
        form->Command4_Click();
        QCOMPARE(server->requests, QStringList{"/mud/downlist.txt"});
        QVERIFY(buttons(true, true));
        QCOMPARE(form->Label1->text(), kInstructions);
    }

    void aMissingListIsReportedAndConnectIsOfferedAgain()
    {
        server.reset(new HttpTestServer); // serves nothing
        open();
        dialogs.expectMessage(QStringLiteral("Could not download %1: the server answered 404 Not Found.")
                                  .arg(url("downlist.txt")));
        form->Command1_Click();
        QVERIFY(!form->list_pending);
        QVERIFY(buttons(true, false));
        QVERIFY(!QFile::exists(downloadfiles::listFilePath()));
    }

    void aClosedPortIsReported()
    {
        const QString closed = QStringLiteral("http://127.0.0.1:%1/mud/").arg(HttpTestServer::closedPort());
        form = main->windows().show<Form5>([&] { return new Form5(*main, closed); });
        dialogs.expectMessage(QStringLiteral("Could not download %1downlist.txt: the server could not be reached "
                                             "(Connection refused).")
                                  .arg(closed));
        form->Command1_Click();
        QVERIFY(!form->list_pending);
        QVERIFY(form->Command1->isEnabled());
    }

    void aServerThatNeverAnswersTimesOut()
    {
        server->neverAnswer("/mud/downlist.txt");
        open();
        form->Inet1->setRequestTimeoutMs(200);
        dialogs.expectMessage(QStringLiteral("Could not download %1: the server did not answer within 0.2 seconds.")
                                  .arg(url("downlist.txt")));
        form->Command1_Click();
        QVERIFY(!form->list_pending);
        QVERIFY(buttons(true, false));
    }

    void aFailedDownloadLeavesTheEarlierFileWholeAndTheListOffered()
    {
        HttpTestServer::Response huge;
        huge.announcedLength = Inet::kMaxDocumentBytes + 1;
        server->respond("/mud/alpha.txt", huge);
        writeFile(downloadfiles::databaseFilePath(), crlf({"earlier", "download|"}));
        open();
        connectAndShowList();
        form->List1->setCurrentRow(0);
        dialogs.expectMessage(
            QStringLiteral("Could not download %1: the document is larger than 32 MiB.").arg(url("alpha.txt")));
        form->Command4_Click();
        QCOMPARE(fileBytes(downloadfiles::databaseFilePath()), crlf({"earlier", "download|"}));
        QVERIFY(!main->windows().find<Form6>());
        QCOMPARE(form->Label1->text(), kInstructions);
        QVERIFY(buttons(true, true));
    }

    void theFifthTickWithoutAListFileGivesUp()
    {
        open();
        form->Command1_Click();
        QVERIFY(QFile::remove(downloadfiles::listFilePath()));
        for (int tick = 1; tick <= 4; ++tick) {
            dialogs.expectBeep();
            form->Timer1_Timer();
            QCOMPARE(form->missingListTicks(), tick);
            QVERIFY(form->list_pending);
        }
        dialogs.expectBeep();
        dialogs.expectMessage(QStringLiteral("Could not download list, please try later"));
        form->Timer1_Timer();
        QVERIFY(!form->list_pending);
        QVERIFY(buttons(true, false));
        // Back in the opened state: the next tick is silent.
        form->Timer1_Timer();
    }

    void closingDuringAFetchStopsItAndClosesTheWindow()
    {
        server->neverAnswer("/mud/downlist.txt");
        open();
        tester.reset();
        QTimer::singleShot(50, form, [this] { form->close(); });
        form->Command1_Click(); // no message: the user left
        QTRY_VERIFY(form.isNull());
        QVERIFY(!QFile::exists(downloadfiles::listFilePath()));
    }
};

QTEST_MAIN(Form5Test)
#include "form5_test.moc"
