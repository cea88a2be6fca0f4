// The Find Items and Fields windows, used as a player does: typing a query,
// sorting, Best per Slot, jumping to an item, Compare, and the rules.
#include "main_window/main_window.h"
#include "query/export.h"
#include "support/program_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {
const QByteArray kRings = crlf({"ring of fire", "Weight 4, value 310, level 18.|Can be worn on: finger|Affects hitroll by 2.|",
                                "copper band", "Weight 1, value 20.|Can be worn on: finger|Affects hitroll by 3.|",
                                "long sword", "Weight 9, value 90, level 10.|Affects damage roll by 4.|"});

QStringList column(const QTableView *table, int c)
{
    QStringList cells;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        cells.append(table->model()->index(row, c).data().toString());
    return cells;
}
} // namespace

class FindItemsWindowTest : public ProgramFixture
{
    Q_OBJECT

    std::unique_ptr<main_window::MainWindow> main;
    QWidget *window = nullptr;
    QTableView *table = nullptr;

    void type(const QString &query)
    {
        window->findChild<QLineEdit *>("queryBox")->setText(query);
    }
    QString label(const char *name) const { return window->findChild<QLabel *>(name)->text(); }
    void closeWindows() override { main.reset(); }

public:
    FindItemsWindowTest() : ProgramFixture(kRings) {}

private slots:
    void init()
    {
        ProgramFixture::init();
        p->folder.write("datalist.txt", crlf({" 2 ", "database", "database.txt", "armour", "armour.txt"}));
        p->folder.write("armour.txt", crlf({"iron helmet", "level 5.|Wear location: head|Affects hitroll by 1.|",
                                            "leather cap", "level 2.|Wear location: head|"}));
        main = std::make_unique<main_window::MainWindow>(p->program, dialogs);
        main->show();
        main->findChild<QAction *>("findItemsEntry")->trigger();
        window = main->findChild<QWidget *>("findItemsWindow");
        table = window->findChild<QTableView *>("itemsFound");
        QTRY_COMPARE(label("countLine"), "3 items in 1 database");
    }

    void aQueryFindsAsItIsTypedAndAMistakeKeepsTheLastResultAndCompareWantsTwoToFourRows()
    {
        type("hitroll>=2 ring");
        QCOMPARE(column(table, 0), QStringList({"ring of fire"}));
        QCOMPARE(table->model()->headerData(2, Qt::Horizontal).toString(), "hitroll");
        QCOMPARE(label("countLine"), "1 item in 1 database");
        type("hitrol>=2");
        QCOMPARE(label("queryMistake"), "unknown field 'hitrol' at word 1; did you mean hitroll?");
        QCOMPARE(column(table, 0), QStringList({"ring of fire"}));
        window->findChild<QCheckBox *>("allDatabasesBox")->click();
        type("hitroll:*");
        QTRY_COMPARE(label("countLine"), "3 items in 2 databases");
        QVERIFY(label("queryMistake").isEmpty());
        type("");
        QTRY_COMPARE(label("countLine"), "5 items in 2 databases");
        table->selectAll();
        dialogs.expectMessage("Please select 2 to 4 items to compare.");
        QTest::keyClick(table, Qt::Key_M, Qt::ControlModifier);
        QTest::keyClick(table, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(table, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(table, Qt::Key_M, Qt::ControlModifier);
        QVERIFY(main->findChild<QWidget *>("compareItemsWindow"));
    }

    void numbersSortAsNumbersWithMissingLast()
    {
        type("weight>0");
        const int level = 3;
        QCOMPARE(table->model()->headerData(level, Qt::Horizontal).toString(), "level");
        table->sortByColumn(level, Qt::AscendingOrder);
        QCOMPARE(column(table, level), QStringList({"10", "18", ""}));
        table->sortByColumn(level, Qt::DescendingOrder);
        QCOMPARE(column(table, level), QStringList({"18", "10", ""}));
        window->findChild<QComboBox *>("scoreBox")->setEditText("weight - hitroll");
        QCOMPARE(table->model()->headerData(2, Qt::Horizontal).toString(), "Score");
        table->sortByColumn(2, Qt::AscendingOrder);
        QCOMPARE(column(table, 2), QStringList({"-2", "2", "9"}));
        QCOMPARE(column(table, 0), QStringList({"copper band", "ring of fire", "long sword"}));
    }

    void bestPerSlotShowsHeadingRowsAndEnterShowsTheItem()
    {
        window->findChild<QComboBox *>("scoreBox")->setEditText("hitroll");
        window->findChild<QCheckBox *>("bestPerSlotBox")->click();
        QCOMPARE(column(table, 0), QStringList({"finger", "copper band", "ring of fire", "(no slot)", "long sword"}));
        QCOMPARE(table->model()->index(0, 0).data(Qt::AccessibleDescriptionRole).toString(), "slot finger, 2 items");
        table->setCurrentIndex(table->model()->index(2, 0));
        QCOMPARE(window->findChild<QListWidget *>("itemFields")->item(0)->text(), "weight: 4");
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(main->findChild<QListView *>("List1")->currentIndex().row(), 0);
        QVERIFY(main->findChild<QPlainTextEdit *>("Text1")->toPlainText().startsWith("Weight 4, value 310"));

        dialogs.expectMessage("Please select 2 to 4 items to compare.");
        QTest::keyClick(table, Qt::Key_M, Qt::ControlModifier);
    }

    void exportWritesTheRowsShownAndReadsBack_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *file : {"found.csv", "found.JSON", "slots.csv", "slots.JSON"})
            QTest::newRow(file) << QString(file);
    }
    void exportWritesTheRowsShownAndReadsBack()
    {
        QFETCH(QString, file);
        const QStringList slot = file.startsWith("slots") ? QStringList{"finger"} : QStringList();
        type("hitroll>=2");
        window->findChild<QComboBox *>("scoreBox")->setEditText("hitroll");
        window->findChild<QCheckBox *>("bestPerSlotBox")->setChecked(!slot.isEmpty());
        table->sortByColumn(2, Qt::DescendingOrder);
        dialogs.expectInput("Export Items", p->folder.path() + "/" + file);
        window->findChild<QPushButton *>("exportButton")->click();
        const QStringList titles = QStringList{"Slot group"}.mid(slot.isEmpty())
                                   + QStringList{"Name", "Database", "Score", "hitroll", "level", "type", "slot", "Description"};
        const QVector<QStringList> rows{
            slot + QStringList{"copper band", "database", "3", "3", "", "", "finger",
                               "Weight 1, value 20.\nCan be worn on: finger\nAffects hitroll by 3.\n"},
            slot + QStringList{"ring of fire", "database", "2", "2", "18", "", "finger",
                               "Weight 4, value 310, level 18.\nCan be worn on: finger\nAffects hitroll by 2.\n"}};
        QCOMPARE(p->folder.read(file), query::exportBytes({titles, rows}, file)); // its forms are shown by the query test
    }

    void weightSetsAreSavedPickedAndRemoved()
    {
        auto *box = window->findChild<QComboBox *>("scoreBox");
        box->setEditText("hitroll * 2");
        dialogs.expectInput("Name of the weight set:", "Rings");
        window->findChild<QPushButton *>("saveSetButton")->click();
        QVERIFY(p->folder.read("scores.cfg").endsWith("\r\ncaster: mana/10 + int + wis\r\nRings: hitroll * 2\r\n"));
        box->setEditText("");
        box->setCurrentIndex(3);
        QCOMPARE(column(table, 2), QStringList({"4", "6", "0"}));
        dialogs.expectQuestion("Do you want to remove the weight set Rings?", true, "Remove Weight Set");
        window->findChild<QPushButton *>("removeSetButton")->click();
        QVERIFY(!p->folder.read("scores.cfg").contains("Rings"));
    }

    void theFieldsWindowTriesAndSavesRulesAndRefusesBadOnes()
    {
        QVERIFY(p->program.addItem("ring of fire", "Weight 7").ok()); // a twin name, another item
        QTRY_COMPARE(table->model()->rowCount(), 4);
        window->findChild<QPushButton *>("fieldsButton")->click();
        QWidget *fields = main->findChild<QWidget *>("fieldsWindow");
        auto *list = fields->findChild<QListWidget *>("fieldList");
        QVERIFY(!list->findItems("level: 2 of 4 items", Qt::MatchExactly).isEmpty());
        table->setCurrentIndex(table->model()->index(1, 0));
        QCOMPARE(fields->findChild<QListWidget *>("itemFields")->item(0)->text(), "weight: 1");
        auto *editor = fields->findChild<QPlainTextEdit *>("rulesEditor");
        editor->setPlainText("match Weight {weight:number}\nmatch level {lvl:numbr}\n");
        dialogs.expectMessage("The rules in fields.txt cannot be used: line 2: unknown placeholder {lvl:numbr}");
        fields->findChild<QPushButton *>("tryButton")->click();
        editor->setPlainText("match Weight {weight:number}\n");
        fields->findChild<QPushButton *>("tryButton")->click();
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), "weight: 4 of 4 items");
        table->setCurrentIndex(table->model()->index(3, 0));
        QCOMPARE(fields->findChild<QListWidget *>("itemFields")->item(0)->text(), "weight: 7");
        QVERIFY(p->folder.read("fields.txt").startsWith("#"));
        fields->findChild<QPushButton *>("saveButton")->click();
        QCOMPARE(p->folder.read("fields.txt"), QByteArray("match Weight {weight:number}\n"));
        QTRY_COMPARE(table->model()->columnCount(), 2);
    }
};

QTEST_MAIN(FindItemsWindowTest)
#include "find_items_window_test.moc"
