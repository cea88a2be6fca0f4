// The download window against a real HTTP server on 127.0.0.1: the on-line
// list, the download, the timers, and every failure of a fetch.
#include "catalogue/form6.h"
#include "download/download_files.h"
#include "download/download_url.h"
#include "download/form5.h"
#include "download/inet.h"
#include "support/http_test_server.h"
#include "support/started_program.h"

#include <QDir>
#include <QListWidget>
#include <QNetworkProxy>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

using downloadfiles::databaseFilePath;
using downloadfiles::listFilePath;

class Form5Test : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<StartedProgram> program;
    std::unique_ptr<HttpTestServer> server;
    QPointer<Form5> form;

    Form1 &main() const { return *program->form; }
    QStringList shownNames() const
    {
        QStringList names;
        for (int i = 0; i < form->List1->count(); ++i)
            names += form->List1->item(i)->text();
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
    void expectFetchFailure(const QString &file, const QString &reason)
    {
        dialogs.expectMessage(QStringLiteral("Could not download %1: %2.").arg(server->url("/mud/" + file), reason));
    }

private slots:
    // A started program with its download window open on the test server's
    // folder /mud/. The timers are stopped: the tests call their handlers.
    void init()
    {
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        QStandardPaths::setTestModeEnabled(true);
        QDir(downloadfiles::privateFolder()).removeRecursively();
        dialogs.reset();
        program = std::make_unique<StartedProgram>(dialogs, sampleItemBytes());
        program->folder.write("datalist.txt", crlf({"1", "database", "database.txt"}));
        server = std::make_unique<HttpTestServer>();
        server->serve("/mud/downlist.txt", crlf({"2", "Alpha", "alpha.txt", "Beta", "beta.txt"}));
        form = main().windows().show<Form5>([this] { return new Form5(main(), server->url("/mud")); });
        form->Timer1->stop();
        form->Timer2->stop();
    }

    void cleanup()
    {
        VERIFY_DIALOGS(dialogs);
        program.reset();
    }

    void cleanupTestCase() { QDir(downloadfiles::privateFolder()).removeRecursively(); }

    void theListExampleShowsAlphaAndBetaOnceAndDownloadsBetaFromTheFolder()
    {
        server->serve("/mud/beta.txt", "sword\r\nsharp|");
        form->Command1_Click();
        // Clicks that waited while the fetch held the window find the buttons disabled.
        form->Command1_Click();
        form->Command4_Click();
        QVERIFY(form->list_pending && buttons(false, false));
        QCOMPARE(textfile::readAll(listFilePath()), crlf({"2", "Alpha", "alpha.txt", "Beta", "beta.txt", ""}));
        form->Timer2_Timer(); // the fetch is over
        QVERIFY(buttons(true, true));
        form->Timer1_Timer();
        QCOMPARE(shownNames(), (QStringList{"Alpha", "Beta"}));
        QVERIFY(!form->list_pending && !QFile::exists(listFilePath()));
        dialogs.expectMessage(QStringLiteral("Please select a database in the list first, then press Download."));
        form->Command4_Click();
        connectAndShowList();
        QCOMPARE(shownNames(), (QStringList{"Alpha", "Beta"}));

        // Download pressed while a third list waits for Timer1: the window
        // stays in its downloading state until the Which Database window ends it.
        form->Command1_Click();
        form->Timer2_Timer();
        form->List1->setCurrentRow(1);
        form->Command4_Click();
        QCOMPARE(server->requests, QStringList(3, "/mud/downlist.txt") << "/mud/beta.txt");
        // The server's text and one line end.
        QCOMPARE(textfile::readAll(databaseFilePath()), QByteArray("sword\r\nsharp|\r\n"));
        form->Timer1_Timer();
        form->Timer2_Timer();
        QVERIFY(main().windows().find<Form6>() && buttons(false, false));
        QCOMPARE(form->Label1->text(),
                 QStringLiteral("Downloading...\n\nPlease wait, this may take several minuets..."));
    }

    void aListIsShownAsFarAsItHoldsEntriesAndTheFifthTickWithoutOneGivesUp()
    {
        connectAndShowList();
        // A count of 0 or no number: no entries, the list file deleted, only Connect offered.
        for (const QByteArray &list : {crlf({"0", "Alpha", "alpha.txt"}), crlf({"none", "Alpha", "alpha.txt"})}) {
            server->serve("/mud/downlist.txt", list);
            connectAndShowList();
            QVERIFY2(shownNames().isEmpty() && !form->list_pending && buttons(true, false), list.constData());
            QVERIFY(!QFile::exists(listFilePath()));
        }
        server->serve("/mud/downlist.txt", crlf({"3", "Alpha", "alpha.txt", "Beta", "beta.txt"}));
        dialogs.expectMessage(
            QStringLiteral("The list of databases announces 3 entries but holds only 2; the 2 it holds are shown."));
        connectAndShowList();
        QCOMPARE(shownNames(), (QStringList{"Alpha", "Beta"}));

        form->Command1_Click();
        QVERIFY(QFile::remove(listFilePath()));
        for (int tick = 1; tick <= 5; ++tick) {
            dialogs.expectBeep();
            if (tick == 5)
                dialogs.expectMessage(QStringLiteral("Could not download list, please try later"));
            form->Timer1_Timer();
            QCOMPARE(form->list_pending, tick < 5);
        }
        // Back in the opened state: no list, and the timers are idle.
        form->Timer1_Timer();
        form->Timer2_Timer();
        QVERIFY(shownNames().isEmpty() && buttons(true, false));
    }

    void aFailedFetchIsReportedAndLeavesNoFileHalfWritten()
    {
        connectAndShowList();
        const QString instructions = form->Label1->text();
        // alpha.txt is not there; beta.txt announces more than 32 MiB and never sends them.
        server->respond("/mud/beta.txt", {"", false, Inet::kMaxDocumentBytes + 1});
        const QByteArray earlier = crlf({"earlier", "download|"});
        textfile::saveAtomically(databaseFilePath(), earlier);
        expectFetchFailure("alpha.txt", "the server answered 404 Not Found");
        expectFetchFailure("beta.txt", "the document is larger than 32 MiB");
        for (int row : {0, 1}) {
            form->List1->setCurrentRow(row);
            form->Command4_Click();
            QCOMPARE(textfile::readAll(databaseFilePath()), earlier);
            QVERIFY(!main().windows().find<Form6>() && buttons(true, true) && form->Label1->text() == instructions);
        }

        // Qt ends a timed-out reply as cancelled; the user is told of the time-out.
        server->neverAnswer("/mud/downlist.txt");
        form->Inet1->setRequestTimeoutMs(200);
        expectFetchFailure("downlist.txt", "the server did not answer within 0.2 seconds");
        form->Command1_Click();
        QVERIFY(!form->list_pending && buttons(true, true) && !QFile::exists(listFilePath()));

        // The server gone, its port is closed.
        expectFetchFailure("downlist.txt", "the server could not be reached (Connection refused)");
        server.reset();
        form->Command1_Click();
    }

    void closingDuringAFetchStopsItAndTheMenuOpensTheWindowAgainOnTheBuiltInFolder()
    {
        server->neverAnswer("/mud/downlist.txt");
        QTimer::singleShot(50, form, [this] { form->close(); });
        form->Command1_Click(); // no message: the user left
        QTRY_VERIFY(form.isNull());

        main().mnuDownload_Click();
        Form5 *fresh = main().windows().find<Form5>();
        QVERIFY(fresh && fresh->Timer1->isActive() && fresh->Timer2->isActive());
        QCOMPARE(fresh->downloadFolderUrl(), defaultDownloadFolderUrl());
    }
};

QTEST_MAIN(Form5Test)
#include "form5_test.moc"
