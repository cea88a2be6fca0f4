// The list view for long lists: its rows get their places a slice at a time
// between events, yet no key and no chosen row waits for the slices.
#include "widgets/long_list_view.h"

#include <QApplication>
#include <QStringListModel>
#include <QTest>

class LongListViewTest : public QObject
{
    Q_OBJECT

    static constexpr int kRows = 1000;
    static constexpr int kSlice = 10;

private slots:
    void keysAndChosenRowsReachRowsWithoutTheirPlaceYet_data()
    {
        QTest::addColumn<int>("key"); // none: the row is chosen, as the program chooses a found item
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("expected");
        QTest::newRow("End") << int(Qt::Key_End) << int(Qt::NoModifier) << 0 << kRows - 1;
        QTest::newRow("Control+End") << int(Qt::Key_End) << int(Qt::ControlModifier) << 0 << kRows - 1;
        // The first slice's last row counts as placed once the next one is.
        QTest::newRow("Down from the last placed row")
            << int(Qt::Key_Down) << int(Qt::NoModifier) << kSlice - 2 << kSlice - 1;
        QTest::newRow("Page Down from the last placed row")
            << int(Qt::Key_PageDown) << int(Qt::NoModifier) << kSlice - 2 << -1;
        QTest::newRow("the last row chosen") << 0 << int(Qt::NoModifier) << 0 << kRows - 1;
        QTest::newRow("a row in the middle chosen") << 0 << int(Qt::NoModifier) << 0 << kRows / 2;
    }
    void keysAndChosenRowsReachRowsWithoutTheirPlaceYet()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, from);
        QFETCH(int, expected);
        QStringList names;
        for (int row = 0; row < kRows; ++row)
            names << QStringLiteral("item %1").arg(row);
        QStringListModel model(names);
        widgets::LongListView view;
        view.setModel(&model);
        view.setBatchSize(kSlice);
        view.resize(200, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_VERIFY(view.visualRect(model.index(kRows - 1)).isValid()); // left alone, the slices place every row

        // Listed anew: once events run, the first slice of rows has its places.
        model.setStringList(names);
        QCoreApplication::processEvents();
        view.setCurrentIndex(model.index(from));
        QVERIFY(view.visualRect(model.index(from)).isValid() && !view.visualRect(model.index(kRows - 1)).isValid());
        if (key)
            QTest::keyClick(&view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        else
            view.setCurrentIndex(model.index(expected));

        const int reached = view.currentIndex().row();
        if (expected < 0) // a page down: a page's worth of rows below
            QVERIFY2(reached > from + 1, qPrintable(QString::number(reached)));
        else
            QCOMPARE(reached, expected);
        QVERIFY(view.viewport()->rect().contains(view.visualRect(view.currentIndex())));
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    LongListViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "long_list_view_test.moc"
