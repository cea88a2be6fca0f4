// The Import Game Log window: what it lists and ticks, Add, and Cancel.
#include "support/program_on_folder.h"
#include "windows/harvest_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

class HarvestWindowTest : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;

private slots:
    void cleanup() { VERIFY_DIALOGS(dialogs); }

    void theTickedItemsAreAddedAndACancelledReadingAddsNothing()
    {
        const QByteArray before = crlf({"helm", "Object 'helm' is armor.|", "ring", "old|"});
        ProgramOnFolder p(dialogs, before);
        p.folder.write("game.log", "Object 'helm' is armor.\n\nObject 'ring' is jewel.\nObject 'axe' is weapon.\n\n"
                                   "Object 'bow' is weapon.\nObject 'arrow \xE2\x86\x92' is ammo.\n"
                                   "Object 'axe' is weapon.\n");
        windows::HarvestWindow window(p.program, dialogs);
        window.show();
        auto *list = window.findChild<QTreeView *>("lstFound");
        QAbstractItemModelTester tester(list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        window.read(p.folder.file("game.log"));
        QTRY_VERIFY(window.findChild<QPushButton *>("cmdAdd")->isEnabled());
        QCOMPARE(window.findChild<QLabel *>("lblSummary")->text(),
                 "5 items found in 6 identify blocks: 2 new, 1 already in database with the same description, "
                 "1 with another description, 1 that cannot be added.");
        const auto cell = [&](int row, int column, int role = Qt::DisplayRole) {
            return list->model()->index(row, column).data(role);
        };
        QCOMPARE(cell(1, 1).toString(), QStringLiteral("Already there, other description"));
        QCOMPARE(cell(2, 2).toInt(), 2);
        QCOMPARE(cell(4, 1).toString(), QStringLiteral("Cannot be added: \"\u2192\" has no place in a database"));
        for (int row = 0; row < 5; ++row)
            QCOMPARE(cell(row, 0, Qt::CheckStateRole).toInt(), row == 2 || row == 3 ? Qt::Checked : Qt::Unchecked);
        list->setCurrentIndex(list->model()->index(3, 0));
        QTest::keyClick(list, Qt::Key_Space); // bow is left out
        dialogs.expectMessage("1 items were added to database; 4 items found were skipped.");
        QTest::mouseClick(window.findChild<QPushButton *>("cmdAdd"), Qt::LeftButton);
        QCOMPARE(p.database(), before + crlf({"axe", "Object 'axe' is weapon.|"}));
        QVERIFY(!window.isVisible());
        QCOMPARE(p.listed().size(), 3);

        // A reading cancelled writes nothing and lists nothing; the block start text is remembered.
        QByteArray big;
        for (int i = 0; i < 100000; ++i)
            big += "Object 'item " + QByteArray::number(i) + "' is new.\r\nWeight 1.\r\n\r\n";
        p.folder.write("big.log", big);
        windows::HarvestWindow again(p.program, dialogs);
        again.show();
        again.findChild<QLineEdit *>("txtStart")->setText("Object");
        again.read(p.folder.file("big.log"));
        again.findChild<QPushButton *>("cmdCancel")->click(); // before the reading could have ended
        QCoreApplication::processEvents();
        QCOMPARE(again.findChild<QLabel *>("lblSummary")->text(), QStringLiteral("Reading cancelled.  Nothing was added."));
        QCOMPARE(again.findChild<QTreeView *>("lstFound")->model()->rowCount(), 0);
        QVERIFY(!again.findChild<QPushButton *>("cmdAdd")->isEnabled());
        QCOMPARE(p.database(), before + crlf({"axe", "Object 'axe' is weapon.|"}));
        QCOMPARE(p.program.undoableChange().value_or("<none>"), QStringLiteral("Harvest of 1 items"));
        QCOMPARE(p.program.gameLogChoices().blockStart, QStringLiteral("Object")); // read from gamelog.ini
    }

    // Cancel waited for the reading to end its piece (8 s for 1 GB of NUL
    // bytes), and for ever on a pipe that no one writes to.
    void theWindowAnswersWhateverTheLog()
    {
        ProgramOnFolder p(dialogs, crlf({"ring", "gold|"}));
        QFile sparse(p.folder.file("nul.log"));
        QVERIFY(sparse.open(QIODevice::WriteOnly) && ::ftruncate(sparse.handle(), qint64(1) << 30) == 0);
        windows::HarvestWindow window(p.program, dialogs);
        window.show();
        const auto summary = [&] { return window.findChild<QLabel *>("lblSummary")->text(); };
        window.read(sparse.fileName());
        QTRY_VERIFY(window.findChild<QProgressBar *>("prgReading")->value() > 0);
        const auto cancelled = std::chrono::steady_clock::now();
        window.findChild<QPushButton *>("cmdCancel")->click();
        qInfo("Cancel returned after %.2f ms",
              std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - cancelled).count());
        QCOMPARE(summary(), QStringLiteral("Reading cancelled.  Nothing was added."));

        p.folder.write("long.log", "Object 'long' is " + QByteArray(100000, 'x') + "\n");
        window.read(p.folder.file("long.log"));
        QTRY_VERIFY(window.findChild<QPushButton *>("cmdAdd")->isEnabled());
        QVERIFY(summary().endsWith(".  1 lines too long were cut to their first 65536 characters."));

        QVERIFY(::mkfifo(QFile::encodeName(p.folder.file("pipe.log")).constData(), 0600) == 0);
        for (const QString &path : {p.folder.file("pipe.log"), p.folder.path(), QStringLiteral("/dev/zero")}) {
            dialogs.expectMessage("Unanticipated error #75  Description: Path/File access error: could not read "
                                  + QFileInfo(path).fileName() + " (a folder, a pipe or a device, not a file)   Source: Gearledger");
            window.read(path);
            QTRY_COMPARE(summary(), QStringLiteral("The log could not be read."));
        }
    }
};

QTEST_MAIN(HarvestWindowTest)
#include "harvest_window_test.moc"
