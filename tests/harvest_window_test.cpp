// The Import Game Log window: what it lists, counts and ticks, where it leaves
// the focus, Add, Cancel, and logs it cannot read.
#include "support/program_fixture.h"
#include "windows/harvest_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray kBefore = crlf({"helm", "Object 'helm' is armor.|", "ring", "old|"});
// Two new items, one there with the same description, one with another, one that cannot be added.
const QByteArray kEveryStanding = "Object 'helm' is armor.\n\nObject 'ring' is jewel.\nObject 'axe' is weapon.\n\n"
                                  "Object 'bow' is weapon.\nObject 'arrow \xE2\x86\x92' is ammo.\n"
                                  "Object 'axe' is weapon.\n";
} // namespace

class HarvestWindowTest : public ProgramFixture
{
    Q_OBJECT

    std::unique_ptr<windows::HarvestWindow> window;

    template <class T = QWidget>
    T *control(const char *name) const { return window->findChild<T *>(name); }
    QString summary() const { return control<QLabel>("summaryLabel")->text(); }
    QTreeView *list() const { return control<QTreeView>("itemsFoundList"); }
    // Reads game.log holding the bytes, to its end.
    void read(const QByteArray &log)
    {
        p->folder.write("game.log", log);
        window->read(p->folder.file("game.log"));
        QTRY_VERIFY(control("readAgainButton")->isEnabled());
    }

    void closeWindows() override { window.reset(); }

public:
    HarvestWindowTest() : ProgramFixture(kBefore) {}

private slots:
    void init()
    {
        ProgramFixture::init();
        window = std::make_unique<windows::HarvestWindow>(p->program, dialogs);
        window->show();
    }

    void theSummaryCountsWhatWasFoundAndTheFocusGoesToTheList_data()
    {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QString>("summary");
        QTest::newRow("every standing") << kEveryStanding
                                        << "5 items found in 6 identify blocks: 2 new, 1 already in database with the "
                                           "same description, 1 with another description, 1 that cannot be added.";
        QTest::newRow("a line too long")
            << "Object 'long' is " + QByteArray(100000, 'x') + "\n"
            << "1 items found in 1 identify blocks: 1 new, 0 already in database with the same description, 0 with "
               "another description.  1 lines too long were cut to their first 65536 characters.";
        QTest::newRow("no block") << QByteArray("You say 'hi'\n") << "No line of the log starts with \"Object '\".";
    }
    void theSummaryCountsWhatWasFoundAndTheFocusGoesToTheList()
    {
        QFETCH(QByteArray, log);
        read(log);
        QTEST(summary(), "summary");
        // An empty list takes no focus: the block start text does, to be changed for another reading.
        const bool found = list()->model()->rowCount() > 0;
        QCOMPARE(list()->isEnabled(), found);
        QCOMPARE(window->focusWidget(), found ? static_cast<QWidget *>(list()) : control("blockStartBox"));
    }

    void theTickedItemsAreAddedInOneChange()
    {
        QAbstractItemModelTester tester(list()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        read(kEveryStanding);
        QStringList titles;
        for (int column = 0; column < 3; ++column)
            titles.append(list()->model()->headerData(column, Qt::Horizontal).toString());
        QCOMPARE(titles, (QStringList{"Name", "In the database", "Found"}));
        QVERIFY(!list()->isHeaderHidden() && list()->uniformRowHeights()); // many rows lay out as fast as few
        const auto cell = [&](int row, int column, int role = Qt::DisplayRole) {
            return list()->model()->index(row, column).data(role);
        };
        QCOMPARE(cell(1, 1).toString(), QStringLiteral("Already there, other description"));
        QCOMPARE(cell(2, 2).toInt(), 2);
        QCOMPARE(cell(4, 1).toString(), QStringLiteral("Cannot be added: \"\u2192\" has no place in a database"));
        for (int row = 0; row < 5; ++row) {
            QCOMPARE(cell(row, 0, Qt::CheckStateRole).toInt(), row == 2 || row == 3 ? Qt::Checked : Qt::Unchecked);
            for (int column = 0; column < 3; ++column) // only the name of an item that can be added is ticked
                QCOMPARE(list()->model()->index(row, column).flags().testFlag(Qt::ItemIsUserCheckable),
                         column == 0 && row != 4);
        }
        QVERIFY(!list()->model()->setData(list()->model()->index(4, 0), Qt::Checked, Qt::CheckStateRole));
        list()->setCurrentIndex(list()->model()->index(3, 0));
        QTest::keyClick(list(), Qt::Key_Space); // bow is left out
        dialogs.expectMessage("1 items were added to database; 4 items found were skipped.");
        QTest::mouseClick(control("addButton"), Qt::LeftButton);
        QCOMPARE(p->database(), kBefore + crlf({"axe", "Object 'axe' is weapon.|"}));
        QVERIFY(!window->isVisible());
        QCOMPARE(p->listed().size(), 3);
        QCOMPARE(p->program.undoableChange().value_or("<none>"), QStringLiteral("Harvest of 1 items"));
    }

    // Cancel waited for the reading to end its piece (8 s for 1 GB of NUL
    // bytes), and for ever on a pipe that no one writes to.
    void aCancelledReadingListsNothingAndALogThatIsNoFileIsRefused()
    {
        QFile sparse(p->folder.file("nul.log"));
        QVERIFY(sparse.open(QIODevice::WriteOnly) && ::ftruncate(sparse.handle(), qint64(1) << 30) == 0);
        control<QLineEdit>("blockStartBox")->setText("Object");
        window->read(sparse.fileName());
        QTRY_VERIFY(control<QProgressBar>("readingProgressBar")->value() > 0);
        control<QPushButton>("cancelButton")->click();
        QCOMPARE(summary(), QStringLiteral("Reading cancelled.  Nothing was added."));
        QVERIFY(list()->model()->rowCount() == 0 && !control("addButton")->isEnabled());
        QCOMPARE(p->database(), kBefore);
        QCOMPARE(p->program.gameLogChoices().blockStart, QStringLiteral("Object")); // read from gamelog.ini

        QVERIFY(::mkfifo(QFile::encodeName(p->folder.file("pipe.log")).constData(), 0600) == 0);
        for (const QString &path : {p->folder.file("pipe.log"), p->folder.path(), QStringLiteral("/dev/zero")}) {
            dialogs.expectMessage("Unanticipated error #75  Description: Path/File access error: could not read "
                                  + QFileInfo(path).fileName() + " (a folder, a pipe or a device, not a file)   Source: Gearledger");
            window->read(path);
            QTRY_COMPARE(summary(), QStringLiteral("The log could not be read."));
        }
    }
};

QTEST_MAIN(HarvestWindowTest)
#include "harvest_window_test.moc"
