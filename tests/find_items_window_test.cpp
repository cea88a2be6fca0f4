// The Find Items and Fields windows, used as a player does: typing a query,
// sorting, Best per Slot, jumping to an item, Compare, and the rules.
#include "main_window/main_window.h"
#include "support/program_on_folder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

// Controls that leave their window or lie on one another.
QStringList misplaced(QWidget *window)
{
    QStringList wrong;
    QVector<QWidget *> seen;
    for (QWidget *control : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!control->isVisible())
            continue;
        if (!window->rect().contains(control->geometry()) || control->width() < 8)
            wrong.append(control->objectName() + " out");
        for (QWidget *other : seen) {
            if (other->geometry().intersects(control->geometry()))
                wrong.append(control->objectName() + " on " + other->objectName());
        }
        seen.append(control);
    }
    return wrong;
}

QStringList column(const QTableView *table, int c)
{
    QStringList cells;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        cells.append(table->model()->index(row, c).data().toString());
    return cells;
}
// A file written by Export read back (JSON by the titles): its header row, then its rows.
QVector<QStringList> readBack(const QByteArray &bytes, const QStringList &titles)
{
    const QJsonDocument json = QJsonDocument::fromJson(bytes);
    QVector<QStringList> rows{json.isArray() ? titles : QStringList()};
    for (const QJsonValue &object : json.array()) {
        rows.append(QStringList());
        for (const QString &title : titles)
            rows.last().append(object[title].toVariant().toString());
    }
    QString cell;
    QChar previous;
    bool quoted = false;
    for (const QChar c : json.isArray() ? QString() : QString::fromUtf8(bytes)) {
        if (c == '"' && (quoted = !quoted) && previous == '"')
            cell += c;
        else if (!quoted && (c == ',' || c == '\r'))
            rows.last().append(std::exchange(cell, {}));
        else if (!quoted && c == '\n')
            rows.append(QStringList());
        else if (c != '"')
            cell += c;
        previous = c;
    }
    rows.removeIf([](const QStringList &row) { return row.isEmpty(); });
    return rows;
}
} // namespace

class FindItemsWindowTest : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<ProgramOnFolder> p;
    std::unique_ptr<main_window::MainWindow> main;
    QWidget *window = nullptr;
    QTableView *table = nullptr;

    void type(const QString &query)
    {
        window->findChild<QLineEdit *>("queryBox")->setText(query);
    }
    QString label(const char *name) const { return window->findChild<QLabel *>(name)->text(); }

private slots:
    void init()
    {
        dialogs.reset();
        p = std::make_unique<ProgramOnFolder>(dialogs, kRings);
        p->folder.write("datalist.txt", crlf({" 2 ", "database", "database.txt", "armour", "armour.txt"}));
        p->folder.write("armour.txt", crlf({"iron helmet", "level 5.|Wear location: head|Affects hitroll by 1.|"}));
        main = std::make_unique<main_window::MainWindow>(p->program, dialogs);
        main->show();
        main->findChild<QAction *>("findItemsEntry")->trigger();
        window = main->findChild<QWidget *>("findItemsWindow");
        QVERIFY(window);
        table = window->findChild<QTableView *>("itemsFound");
        QTRY_COMPARE(label("countLine"), "3 items in 1 database");
    }
    void cleanup()
    {
        main.reset();
        p.reset();
        VERIFY_DIALOGS(dialogs);
    }

    void aQueryFindsAsItIsTypedAndAMistakeKeepsTheLastResult()
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

    void theWindowsResizeSensibly()
    {
        window->findChild<QPushButton *>("fieldsButton")->click();
        for (QWidget *shown : {window, main->findChild<QWidget *>("fieldsWindow")}) {
            const QSize first = shown->size();
            for (const double factor : {0.75, 1.0, 2.0}) {
                shown->resize(first * factor);
                QApplication::processEvents();
                QVERIFY2(misplaced(shown).isEmpty(), qPrintable(misplaced(shown).join("; ")));
            }
        }
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
        QTest::addColumn<bool>("bestPerSlot");
        for (const char *file : {"found.csv", "found.JSON"}) {
            QTest::addRow("%s", file) << file << false;
            QTest::addRow("%s by slot", file) << file << true;
        }
    }
    void exportWritesTheRowsShownAndReadsBack()
    {
        QFETCH(QString, file);
        QFETCH(bool, bestPerSlot);
        window->findChild<QComboBox *>("scoreBox")->setEditText("weight - hitroll");
        window->findChild<QCheckBox *>("bestPerSlotBox")->setChecked(bestPerSlot);
        table->sortByColumn(2, Qt::AscendingOrder);
        QVector<QStringList> shown{bestPerSlot ? QStringList{"Slot group"} : QStringList()};
        for (int c = 0; c < table->model()->columnCount(); ++c)
            shown[0].append(table->model()->headerData(c, Qt::Horizontal).toString());
        shown[0].append("Description");
        QStringList slot, stored = QString::fromLatin1(kRings).split("\r\n");
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            if (table->columnSpan(row, 0) > 1 && !(slot = QStringList{column(table, 0)[row]}).isEmpty())
                continue;
            shown.append(bestPerSlot ? slot : QStringList());
            for (int c = 0; c < table->model()->columnCount(); ++c)
                shown.last().append(table->model()->index(row, c).data().toString());
            shown.last().append(stored[stored.indexOf(shown.last()[int(bestPerSlot)]) + 1].replace('|', '\n'));
        }
        dialogs.expectInput("Export Items", p->folder.path() + "/" + file);
        window->findChild<QPushButton *>("exportButton")->click();
        QCOMPARE(p->folder.read(file).startsWith('['), file.endsWith("JSON"));
        QCOMPARE(readBack(p->folder.read(file), shown[0]), shown);
    }

    void weightSetsAreSavedPickedAndRemoved()
    {
        auto *box = window->findChild<QComboBox *>("scoreBox");
        box->setEditText("hitroll * 2");
        dialogs.expectInput("Name of the weight set:", "Rings");
        window->findChild<QPushButton *>("saveSetButton")->click();
        QVERIFY(p->folder.read("scores.cfg").endsWith("\r\ncaster: mana/10 + int + wis\r\nRings: hitroll * 2\r\n"));
        QCOMPARE(box->model()->index(3, 0).data().toString(), "Rings: hitroll * 2");
        box->setEditText("");
        box->setCurrentIndex(3);
        QCOMPARE(column(table, 2), QStringList({"4", "6", "0"}));
        dialogs.expectQuestion("Do you want to remove the weight set Rings?", true, "Remove Weight Set");
        window->findChild<QPushButton *>("removeSetButton")->click();
        QVERIFY(!p->folder.read("scores.cfg").contains("Rings"));
        QCOMPARE(box->count(), 3);
    }

    void theFieldsWindowTriesAndSavesRulesAndRefusesBadOnes()
    {
        window->findChild<QPushButton *>("fieldsButton")->click();
        QWidget *fields = main->findChild<QWidget *>("fieldsWindow");
        QVERIFY(fields);
        auto *list = fields->findChild<QListWidget *>("fieldList");
        QVERIFY(!list->findItems("level: 2 of 3 items", Qt::MatchExactly).isEmpty());
        table->setCurrentIndex(table->model()->index(1, 0));
        QCOMPARE(fields->findChild<QListWidget *>("itemFields")->item(0)->text(), "weight: 1");
        auto *editor = fields->findChild<QPlainTextEdit *>("rulesEditor");
        editor->setPlainText("match Weight {weight:number}\nmatch level {lvl:numbr}\n");
        dialogs.expectMessage("The rules in fields.txt cannot be used: line 2: unknown placeholder {lvl:numbr}");
        fields->findChild<QPushButton *>("tryButton")->click();
        editor->setPlainText("match Weight {weight:number}\n");
        fields->findChild<QPushButton *>("tryButton")->click();
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), "weight: 3 of 3 items");
        QVERIFY(p->folder.read("fields.txt").startsWith("#"));
        fields->findChild<QPushButton *>("saveButton")->click();
        QCOMPARE(p->folder.read("fields.txt"), QByteArray("match Weight {weight:number}\n"));
        QTRY_COMPARE(table->model()->columnCount(), 2);
    }
};

QTEST_MAIN(FindItemsWindowTest)
#include "find_items_window_test.moc"
