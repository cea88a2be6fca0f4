// The catalogue datalist.txt, the checks of a new database name, and creating
// and removing a catalogued database.
#include "app/failure.h"
#include "app/module1.h"
#include "catalogue/catalogue_file.h"
#include "catalogue/catalogued_database.h"
#include "catalogue/new_database_name.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

using namespace catalogue;

namespace {
const QByteArray kSeed = "1\r\ndatabase\r\ndatabase.txt\r\n";

QVector<Entry> entriesNamed(std::initializer_list<const char *> names)
{
    QVector<Entry> entries;
    for (const char *name : names)
        entries.append({QString::fromLatin1(name), QString::fromLatin1(name) + ".txt"});
    return entries;
}

QByteArray catalogueOf(int count, int entries)
{
    QByteArray bytes = " " + QByteArray::number(count) + " \r\n";
    for (int i = 1; i <= entries; ++i)
        bytes += "db" + QByteArray::number(i) + "\r\ndb" + QByteArray::number(i) + ".txt\r\n";
    return bytes;
}
} // namespace

class CatalogueFileTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<Module1> state;

    QString path() const { return folder->file("datalist.txt"); }
    Catalogue readBack() const { return read(path()).catalogue; }

private slots:
    void init()
    {
        folder = std::make_unique<TestFolder>();
        state = std::make_unique<Module1>(folder->path());
    }

    void readsBothCountLineFormsAndTheSeed()
    {
        writeSeed(path());
        QCOMPARE(folder->read("datalist.txt"), kSeed);
        CatalogueRead seed = read(path());
        QVERIFY(!seed.failure);
        QVERIFY(seed.catalogue.complete);
        QCOMPARE(seed.catalogue.entries, (QVector<Entry>{{"database", "database.txt"}}));

        folder->write("datalist.txt", " 2 \r\nA\rA.txt\r\nb\nc\r\nb\nc.txt\r\n");
        CatalogueRead printed = read(path());
        QVERIFY(!printed.failure);
        QCOMPARE(printed.catalogue.entries, (QVector<Entry>{{"A", "A.txt"}, {"b\nc", "b\nc.txt"}}));

        folder->write("datalist.txt", "abc\r\nx\r\nx.txt\r\n");
        CatalogueRead noNumber = read(path());
        QVERIFY(!noNumber.failure);
        QCOMPARE(noNumber.catalogue.count(), 0);
    }

    void lookupsTakeTheLastExactMatch()
    {
        Catalogue c;
        c.entries = {{"a", "x.txt"}, {"b", "y.txt"}, {"a", "z.txt"}, {"c", "x.txt"}};
        QCOMPARE(c.lastIndexOfName("a"), 2);
        QCOMPARE(c.lastIndexOfName("A"), -1);
        QCOMPARE(c.lastIndexOfFile("x.txt"), 3);
        QCOMPARE(c.lastIndexOfFile("X.txt"), -1);
    }

    void readingFailuresKeepTheEntriesReadSoFar_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("entries");
        QTest::newRow("missing") << QByteArray() << int(ErrFileNotFound) << 0;
        QTest::newRow("empty file") << QByteArray("") << int(ErrInputPastEndOfFile) << 0;
        QTest::newRow("count 70000") << catalogueOf(70000, 3) << int(ErrOverflow) << 0;
        QTest::newRow("count -40000") << catalogueOf(-40000, 0) << int(ErrOverflow) << 0;
        QTest::newRow("count 51") << catalogueOf(51, 51) << int(ErrSubscriptOutOfRange) << 50;
        QTest::newRow("shorter than its count") << catalogueOf(3, 2) << int(ErrInputPastEndOfFile) << 2;
        QTest::newRow("half an entry") << catalogueOf(3, 2) + "db3\r\n" << int(ErrInputPastEndOfFile) << 2;
    }

    void readingFailuresKeepTheEntriesReadSoFar()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, error);
        QFETCH(int, entries);
        if (!bytes.isNull())
            folder->write("datalist.txt", bytes);
        const CatalogueRead result = read(path());
        QVERIFY(result.failure);
        QCOMPARE(result.failure->number(), error);
        QCOMPARE(result.catalogue.count(), entries);
        QVERIFY(!result.catalogue.complete);
    }

    void appendingRewritesTheWholeFileWithAMatchingCount()
    {
        folder->write("datalist.txt", kSeed);
        Catalogue c = readBack();
        appendEntry(path(), c, "mydatabase");
        QCOMPARE(folder->read("datalist.txt"),
                 crlf({" 2 ", "database", "database.txt", "mydatabase", "mydatabase.txt"}));
        QCOMPARE(c.entries, readBack().entries);
        appendEntry(path(), c, "x y");
        QCOMPARE(readBack().count(), 3);
        QVERIFY(folder->read("datalist.txt").startsWith(" 3 \r\n"));
    }

    void aFiftyFirstEntryIsRefusedBeforeAnythingIsWritten()
    {
        const QByteArray fifty = catalogueOf(50, 50);
        folder->write("datalist.txt", fifty);
        Catalogue c = readBack();
        QVERIFY(c.isFull());
        QVERIFY_THROWS_EXCEPTION(Failure, appendEntry(path(), c, "one too many"));
        QCOMPARE(folder->read("datalist.txt"), fifty);
        QCOMPARE(c.count(), 50);
        QVERIFY(whyNewNameIsRefused("one too many", c, *state)->contains("50 databases"));
    }

    void aCatalogueNotReadInFullIsNeverRewritten()
    {
        const QByteArray bytes = catalogueOf(70000, 3);
        folder->write("datalist.txt", bytes);
        Catalogue c = readBack();
        QVERIFY_THROWS_EXCEPTION(Failure, appendEntry(path(), c, "new"));
        QVERIFY(whyNewNameIsRefused("new", c, *state)->contains("could not be read in full"));
        QVERIFY_THROWS_EXCEPTION(Failure, createDatabase(*state, c, "new", {itemdb::sampleItem()}));
        QVERIFY(!folder->exists("new.txt"));
        QCOMPARE(folder->read("datalist.txt"), bytes);
    }

    void removingKeepsTheOrderAndLowersTheCountByOne()
    {
        folder->write("datalist.txt", catalogueOf(3, 3));
        Catalogue c = readBack();
        removeEntry(path(), c, 1);
        QCOMPARE(folder->read("datalist.txt"), crlf({" 2 ", "db1", "db1.txt", "db3", "db3.txt"}));
        QCOMPARE(c.entries, readBack().entries);
        removeEntry(path(), c, 1);
        removeEntry(path(), c, 0);
        QCOMPARE(folder->read("datalist.txt"), crlf({" 0 "}));
        QCOMPARE(readBack().count(), 0);
    }

    void rewritesKeepWhatTheOtherWindowChangedMeanwhile()
    {
        folder->write("datalist.txt", kSeed);
        Catalogue first = readBack();
        Catalogue second = readBack();
        appendEntry(path(), first, "a");
        appendEntry(path(), second, "b");
        QCOMPARE(folder->read("datalist.txt"), crlf({" 3 ", "database", "database.txt", "a", "a.txt", "b", "b.txt"}));
        QCOMPARE(second.entries, readBack().entries);

        removeEntry(path(), first, 1);
        QCOMPARE(folder->read("datalist.txt"), crlf({" 2 ", "database", "database.txt", "b", "b.txt"}));
        // An entry that is already gone from the file changes nothing.
        removeEntry(path(), second, 1);
        QCOMPARE(folder->read("datalist.txt"), crlf({" 2 ", "database", "database.txt", "b", "b.txt"}));
        QCOMPARE(second.entries, readBack().entries);
    }

    void refusedNewNamesSayWhy_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("display name") << "mine" << "already a database named";
        QTest::newRow("existing file") << "loose" << "loose.txt already exists";
        QTest::newRow("catalogued file") << "gone" << "gone.txt already exists";
        QTest::newRow("slash") << "a/b" << "\"/\" or \"\\\"";
        QTest::newRow("backslash") << "a\\b" << "\"/\" or \"\\\"";
        QTest::newRow("dots") << ".." << "\"..\"";
        QTest::newRow("dots inside") << "a..b" << "\"..\"";
        QTest::newRow("tab") << "a\tb" << "control characters";
        QTest::newRow("line feed") << "a\nb" << "control characters";
        QTest::newRow("C1 control") << QString("a") + QChar(0x81) << "control characters";
        QTest::newRow("outside 1252") << QString("a") + QChar(0x263A) << QString(QChar(0x263A));
        QTest::newRow("datalist") << "datalist" << "own file datalist.txt";
        QTest::newRow("DataList") << "DataList" << "own file DataList.txt";
        QTest::newRow("pref") << "pref" << "own file pref.txt";
        QTest::newRow("PREF") << "PREF" << "own file PREF.txt";
        QTest::newRow("scratch") << "42198739" << "own file 42198739.txt";
    }

    void refusedNewNamesSayWhy()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        folder->write("loose.txt", "kept\r\nkept\r\n");
        Catalogue c;
        c.entries = {{"database", "database.txt"}, {"mine", "mine.txt"}, {"other", "gone.txt"}};
        const auto refusal = whyNewNameIsRefused(name, c, *state);
        QVERIFY(refusal);
        QVERIFY2(refusal->contains(reason), qPrintable(*refusal));
        QVERIFY_THROWS_EXCEPTION(Failure, createDatabase(*state, c, name, {itemdb::sampleItem()}));
        QCOMPARE(c.count(), 3);
        QCOMPARE(folder->read("loose.txt"), QByteArray("kept\r\nkept\r\n"));
    }

    void everyOtherCharacterPasses()
    {
        Catalogue c;
        c.entries = {{"database", "database.txt"}};
        for (const QString &name : {QString("My Database"), QString("Mydatabase"), QString(" x "), QString("a.b"),
                                    QString("r\u00e9sum\u00e9 \u20ac 100% <ok>?*:|\""), QString("Database"),
                                    QString("datalist2"), QString(".")})
            QVERIFY2(!whyNewNameIsRefused(name, c, *state), qPrintable(name));
    }

    void createdDatabaseHoldsItsItemsAndIsCatalogued()
    {
        folder->write("datalist.txt", kSeed);
        Catalogue c = readBack();
        createDatabase(*state, c, "mydatabase", {itemdb::sampleItem()});
        QCOMPARE(folder->read("mydatabase.txt"), sampleItemBytes());
        QCOMPARE(folder->read("datalist.txt"),
                 crlf({" 2 ", "database", "database.txt", "mydatabase", "mydatabase.txt"}));
        QCOMPARE(c.entries, readBack().entries);
    }

    void aCatalogueThatCannotBeWrittenLeavesNoNewDatabaseFile()
    {
        // A folder in the catalogue's place makes its rewrite fail.
        QVERIFY(QDir(folder->path()).mkdir("datalist.txt"));
        Catalogue c;
        c.entries = {{"database", "database.txt"}};
        QVERIFY_THROWS_EXCEPTION(Failure, createDatabase(*state, c, "fresh", {itemdb::sampleItem()}));
        QVERIFY(!folder->exists("fresh.txt"));
        QCOMPARE(c.count(), 1);
    }

    void removalOnlyTakesAPlainCataloguedDatabase()
    {
        Catalogue c;
        c.entries = {{"database", "database.txt"}, {"alias", "database.txt"}, {"mine", "mine.txt"},
                     {"prefs", "Pref.txt"}, {"away", "../away.txt"}, {"up", ".."}, {".", "..txt"}};
        QCOMPARE(*whyRemovalIsRefused("", c), QStringLiteral("You must select a proper database"));
        QCOMPARE(*whyRemovalIsRefused("database", c), QStringLiteral("You cannot delete the primary database"));
        QCOMPARE(*whyRemovalIsRefused("alias", c), QStringLiteral("You cannot delete the primary database"));
        QCOMPARE(*whyRemovalIsRefused("Mine", c), QStringLiteral("A proper database must be selected"));
        QCOMPARE(*whyRemovalIsRefused("pref", c), QStringLiteral("A proper database must be selected"));
        QVERIFY(whyRemovalIsRefused("prefs", c)->contains("is kept"));
        QVERIFY(whyRemovalIsRefused("away", c)->contains("is kept"));
        QVERIFY(whyRemovalIsRefused("up", c)->contains("is kept"));
        QVERIFY(!whyRemovalIsRefused("mine", c));
        QVERIFY(!whyRemovalIsRefused(".", c));
        c.complete = false;
        QVERIFY(whyRemovalIsRefused("mine", c)->contains("could not be read in full"));
    }

    void removingDeletesTheEntrysOwnFileEvenWhenItIsGone()
    {
        folder->write("datalist.txt", crlf({" 3 ", "database", "database.txt", "a", "a.txt", "b", "b.txt"}));
        folder->write("a.txt", sampleItemBytes());
        folder->write("b.txt", sampleItemBytes());
        Catalogue c = readBack();
        removeDatabase(*state, c, 1);
        QVERIFY(!folder->exists("a.txt"));
        QVERIFY(folder->exists("b.txt"));
        QCOMPARE(folder->read("datalist.txt"), crlf({" 2 ", "database", "database.txt", "b", "b.txt"}));

        QVERIFY(QFile::remove(folder->file("b.txt")));
        removeDatabase(*state, c, 1);
        QCOMPARE(folder->read("datalist.txt"), crlf({" 1 ", "database", "database.txt"}));
    }
};

QTEST_MAIN(CatalogueFileTest)
#include "catalogue_file_test.moc"
