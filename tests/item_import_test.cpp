// Name cleaning, the duplicate test and the reading of import files.
#include "app/failure.h"
#include "editing/item_import.h"
#include "support/test_folder.h"

#include <QTest>

using namespace itemimport;

namespace {

QVector<Item> readNew(const QByteArray &file, NameTable &names)
{
    textfile::LineReader reader = textfile::LineReader::fromBytes(file, QStringLiteral("insert.txt"));
    return readNewItems(reader, names);
}

} // namespace

class ItemImportTest : public QObject
{
    Q_OBJECT

private slots:
    void namesAreUnquotedAndLoseOneLeadingArticle_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("name");
        QTest::newRow("A") << "A shield" << "shield";
        QTest::newRow("The") << "The Ring" << "Ring";
        QTest::newRow("some") << "some coins" << "coins";
        QTest::newRow("Some") << "Some coins" << "coins";
        QTest::newRow("An") << "An orb" << "orb";
        QTest::newRow("SOME stays") << "SOME coins" << "SOME coins";
        QTest::newRow("there") << "there" << "there";
        QTest::newRow("Something") << "Something" << "Something";
        QTest::newRow("bare a") << "a" << "a";
        QTest::newRow("bare some") << "some" << "some";
        QTest::newRow("th") << "th" << "th";
        QTest::newRow("quoted with article") << "'a dagger'," << "dagger";
        QTest::newRow("quoted, nothing inside") << "'x," << "";
        QTest::newRow("quote later") << "Bob's axe" << "Bob's axe";
    }
    void namesAreUnquotedAndLoseOneLeadingArticle()
    {
        QFETCH(QString, line);
        QFETCH(QString, name);
        QCOMPARE(cleanedName(line), name);
    }

    void theDuplicateTestComparesExactlyAndCountsEmptySlots()
    {
        NameTable names(3);
        QVERIFY(names.isNew("ring"));
        QVERIFY(!names.isNew("")); // free slots hold the empty text
        names.add("ring");
        QVERIFY(!names.isNew("ring"));
        QVERIFY(names.isNew("Ring"));
        QVERIFY(names.isNew("ring "));
        names.add("sword");
        names.add("Ring");
        QCOMPARE(names.count(), 3);
        QVERIFY(names.isNew("")); // no slot is empty any more
        try {
            names.add("axe");
            QFAIL("no failure");
        } catch (const Failure &failure) {
            QCOMPARE(failure.number(), 9);
        }

        NameTable withEmptyName(1);
        withEmptyName.add("");
        QVERIFY(!withEmptyName.isNew(""));
    }

    void recordsAreReadUpToEmptyLinesAndDuplicatesSkippedWithTheirLines()
    {
        NameTable names;
        names.add("lamp");
        const QByteArray file = crlf({"a long sword", "Sharp.", "Heavy.", "", "the lamp", "Bright.", "", "'Ring',", "",
                                      "long sword", "Again.", "", "", "Skipped with the empty name.", "", "axe"})
                                + "Last line.";
        const QVector<Item> added = readNew(file, names);
        QCOMPARE(added, (QVector<Item>{{"long sword", "Sharp.|Heavy.|"}, {"Ring", ""}, {"axe", "Last line.|"}}));
        QCOMPARE(names.count(), 4);
    }

    void lineEndsOfImportFilesMayBeCrOnly()
    {
        NameTable names;
        QCOMPARE(readNew("dagger\rsmall\r\rshield\r", names), (QVector<Item>{{"dagger", "small|"}, {"shield", ""}}));
    }
};

QTEST_GUILESS_MAIN(ItemImportTest)
#include "item_import_test.moc"
