// Reading databases into the item table: listing, search, capacity, and the list model.
#include "app/item_database.h"
#include "main_window/item_list_model.h"
#include "main_window/item_listing.h"
#include "support/test_folder.h"

#include <QAbstractItemModelTester>
#include <QTest>

class ItemListingTest : public QObject
{
    Q_OBJECT

    TestFolder folder;

    QString db(const QByteArray &bytes)
    {
        folder.write("db.txt", bytes);
        return folder.file("db.txt");
    }

    static QByteArray manyItems(int count)
    {
        QByteArray bytes;
        for (int i = 0; i < count; ++i)
            bytes += "item " + QByteArray::number(i) + "\r\ndesc|\r\n";
        return bytes;
    }

private slots:
    void listingKeepsFileOrderAndRecordNumbers()
    {
        const ItemTableFill fill = listItems(db(crlf({"b", "x|", "a", "", "b", "y|"})));
        QVERIFY(!fill.failure);
        QCOMPARE(fill.names, (QStringList{"b", "a", "b"}));
        QCOMPARE(fill.descs, (QStringList{"x|", "", "y|"}));
        QCOMPARE(fill.records, (QVector<int>{0, 1, 2}));
        QVERIFY(listItems(db("")).names.isEmpty());
    }

    void anIncompleteLastItemKeepsWhatWasReadAndItsName()
    {
        const ItemTableFill odd = listItems(db(crlf({"first", "one|", "second"})));
        QVERIFY(odd.failure);
        QCOMPARE(odd.failure->number(), 62);
        QCOMPARE(odd.names, (QStringList{"first", "second"}));
        QCOMPARE(odd.descs, QStringList{"one|"});

        // An extra empty line after the last item is a name without description.
        const ItemTableFill extra = listItems(db(crlf({"first", "one|", ""})));
        QVERIFY(extra.failure);
        QCOMPARE(extra.failure->number(), 62);
    }

    void aMissingFileFailsWithFileNotFound()
    {
        const ItemTableFill fill = listItems(folder.file("absent.txt"));
        QVERIFY(fill.failure);
        QCOMPARE(fill.failure->number(), 53);
        QVERIFY(fill.names.isEmpty());
    }

    void theTableHoldsTenThousandItemsAndTheNextFailsAfterItsName()
    {
        const ItemTableFill full = listItems(db(manyItems(10000)));
        QVERIFY(!full.failure);
        QCOMPARE(full.descs.size(), 10000);

        const ItemTableFill over = listItems(db(manyItems(10001)));
        QVERIFY(over.failure);
        QCOMPARE(over.failure->number(), 9);
        QCOMPARE(over.names.size(), 10001);
        QCOMPARE(over.descs.size(), 10000);
    }

    void searchIgnoresCaseAndLooksWhereItIsTold()
    {
        const QString path = db(sampleItemBytes() + crlf({"Iron Ring", "plain|", "", "ring of magic|"}));
        QCOMPARE(searchItems(path, "RING", SearchIn::Names).names, (QStringList{"small metallic ring", "Iron Ring"}));
        QCOMPARE(searchItems(path, "magic", SearchIn::Names).names, QStringList{});
        QCOMPARE(searchItems(path, "magic", SearchIn::Descriptions).names, (QStringList{"small metallic ring", ""}));
        QCOMPARE(searchItems(path, "iron", SearchIn::Both).names, QStringList{"Iron Ring"});
        QCOMPARE(searchItems(path, "plain", SearchIn::Both).records, QVector<int>{1});
        // "|" is an ordinary character of the stored description.
        QCOMPARE(searchItems(path, "|", SearchIn::Descriptions).names.size(), 3);
    }

    void anEmptySearchTextMatchesEveryNonEmptyText()
    {
        const QString path = db(crlf({"named", "", "", "desc|"}));
        QCOMPARE(searchItems(path, "", SearchIn::Names).names, QStringList{"named"});
        QCOMPARE(searchItems(path, "", SearchIn::Descriptions).records, QVector<int>{1});
        QVERIFY(!containsIgnoringCase("", ""));
        QVERIFY(containsIgnoringCase("x", ""));
        QVERIFY(containsIgnoringCase("Caf\u00C9", "caf\u00E9"));
    }

    void aSearchStopsAtItsTenThousandAndFirstHit()
    {
        const ItemTableFill fill = searchItems(db(manyItems(10001)), "item", SearchIn::Names);
        QVERIFY(fill.failure);
        QCOMPARE(fill.failure->number(), 9);
        QCOMPARE(fill.names.size(), 10000);
    }

    void barsBecomeLineBreaks()
    {
        QCOMPARE(bars_to_breaks("a|b|"), QStringLiteral("a\r\nb\r\n"));
        QCOMPARE(bars_to_breaks("plain"), QStringLiteral("plain"));
        QCOMPARE(bars_to_breaks(""), QString());
    }

    void theListModelStaysConsistentThroughResetsAndRemovals()
    {
        ItemListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setEntries({"a", "b", "c"}, {0, 1, 2});
        model.removeEntry(1);
        QCOMPARE(model.names(), (QStringList{"a", "c"}));
        QCOMPARE(model.record(1), 2);
        QCOMPARE(model.data(model.index(1, 0), ItemListModel::RecordRole).toInt(), 2);
        model.removeEntry(5);
        model.clear();
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(ItemListingTest)
#include "item_listing_test.moc"
