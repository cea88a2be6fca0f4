// The Compare Items window: values with their differences, the text a screen
// reader and the clipboard get, and Escape.
#include "windows/compare_window.h"

#include <QClipboard>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTest>

namespace {

fields::ItemField number(const QString &name, double value)
{
    return {name, fields::Kind::Number, value, {}, fields::numberText(value)};
}

const QVector<query::ComparedItem> kItems{
    {"ring of fire", "Emberfall", "Level 18|Hitroll: +3||", {number("level", 18), number("hitroll", 3),
                                                             {"slot", fields::Kind::Words, 0, {"finger"}, "finger"}}},
    {"copper band", "Tidereach", "Level 30", {number("level", 30), number("hitroll", 1), number("damroll", 2)}},
    {"iron helm", "Emberfall", "", {number("level", 18.5), number("hitroll", 3)}}};

} // namespace

class CompareWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void eachNumberShowsItsDifferenceFromTheFirstItems()
    {
        windows::CompareWindow window(kItems);
        const auto *table = window.findChild<QTableWidget *>("comparisonTable");
        QStringList rows;
        for (int row = 0; row < table->rowCount(); ++row) {
            QStringList cells{table->verticalHeaderItem(row)->text()};
            for (int column = 0; column < table->columnCount(); ++column)
                cells.append(table->item(row, column)->text());
            rows.append(cells.join(" | "));
        }
        QCOMPARE(rows, QStringList({"level | 18 | 30 (+12) | 18.5 (+0.5)", "hitroll | 3 | 1 (-2) | 3 (=)",
                                    "slot | finger | none | none", "damroll | none | 2 | none",
                                    "Name | ring of fire | copper band | iron helm", "Database | Emberfall | Tidereach | "
                                    "Emberfall", "Description | Level 18\nHitroll: +3 | Level 30 | "}));
        QCOMPARE(table->horizontalHeaderItem(2)->text(), "iron helm");
    }

    void theComparisonReadsAsTextAndCopyPutsItOnTheClipboard()
    {
        QPointer<QWidget> open = new windows::CompareWindow(kItems);
        QWidget *window = open;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(window->findChild<QPlainTextEdit *>("comparisonText")->toPlainText(), query::compareText(kItems));
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(window->findChild<QTableWidget *>("comparisonTable"), Qt::Key_C, Qt::AltModifier);
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), query::compareText(kItems)); // a clicking button shows first
        QTest::keyClick(window->findChild<QTableWidget *>("comparisonTable"), Qt::Key_Escape);
        QTRY_VERIFY(open.isNull());
    }
};

QTEST_MAIN(CompareWindowTest)
#include "compare_window_test.moc"
