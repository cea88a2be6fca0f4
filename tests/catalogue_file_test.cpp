// The catalogue datalist.txt and the rules for creating and removing a
// catalogued database, beyond what the Current Database window's test shows.
#include "catalogue/catalogue_file.h"
#include "catalogue/catalogued_database.h"
#include "catalogue/new_database_name.h"
#include "storage/data_folder.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace catalogue;

class CatalogueFileTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<storage::DataFolder> program;

    QString path() const { return folder->file("datalist.txt"); }
    Catalogue readBack() const { return readCatalogue(path()).catalogue; }

private slots:
    // The count line as the program writes it and as a hand may edit it.
    void theCountLineSaysHowManyEntriesAreRead_data()
    {
        QTest::addColumn<QByteArray>("count");
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("complete");
        QTest::newRow("written") << QByteArray(" 2 ") << 2 << true;
        QTest::newRow("plus sign") << QByteArray("+2") << 2 << true;
        QTest::newRow("text after") << QByteArray("1 database") << 1 << true;
        QTest::newRow("no number") << QByteArray("two") << 0 << true;
        QTest::newRow("more than held") << QByteArray("3") << 2 << false;
    }
    void theCountLineSaysHowManyEntriesAreRead()
    {
        QFETCH(QByteArray, count);
        const CatalogueRead read = readCatalogueFromBytes(count + crlf({"", "a", "a.txt", "b", "b.txt"}));
        QTEST(read.catalogue.count(), "entries");
        QTEST(read.catalogue.complete, "complete");
    }

    void init()
    {
        folder = std::make_unique<TestFolder>();
        program = std::make_unique<storage::DataFolder>(folder->path());
        writeSeedCatalogue(path());
    }

    // Each window rewrites from the file, so what the other window changed
    // meanwhile stays, and a 51st entry is refused even from a stale copy.
    void rewritesStartFromTheFileAndNeverPassFiftyEntries()
    {
        Catalogue first = readBack();
        Catalogue second = readBack();
        appendEntry(path(), first, "a");
        appendEntry(path(), second, "b");
        QCOMPARE(folder->read("datalist.txt"), crlf({" 3 ", "database", "database.txt", "a", "a.txt", "b", "b.txt"}));
        removeEntry(path(), first, 1);
        removeEntry(path(), second, 1); // "a" again, already gone from the file
        QCOMPARE(folder->read("datalist.txt"), crlf({" 2 ", "database", "database.txt", "b", "b.txt"}));
        QCOMPARE(second.entries, readBack().entries);

        QByteArray fifty = " 50 \r\n";
        for (int i = 1; i <= 50; ++i)
            fifty += "db" + QByteArray::number(i) + "\r\ndb" + QByteArray::number(i) + ".txt\r\n";
        folder->write("datalist.txt", fifty);
        QCOMPARE(whyNewNameIsRefused("x", readBack(), *program).value_or(""),
                 QStringLiteral("The catalogue already holds 50 databases, the most it can keep. Please remove a "
                                "database before creating a new one."));
        QVERIFY_THROWS_EXCEPTION(base::Failure, appendEntry(path(), first, "x"));
        QCOMPARE(folder->read("datalist.txt"), fifty);
    }

    // Every other name passes; createDatabase removes the new file again when
    // the catalogue cannot be written.
    void namesAreCheckedBeforeCreatingOrRemovingAndAFailedCatalogueUndoesTheNewFile()
    {
        Catalogue c = readBack();
        for (const QString &name : {QString("My Database"), QString(" x "), QString("a.b"), QString("Database"),
                                    QString("r\u00e9sum\u00e9 \u20ac 100% <ok>?*:|\""), QString("datalist2"),
                                    QString(".")})
            QVERIFY2(!whyNewNameIsRefused(name, c, *program), qPrintable(name));
        // A folder in the catalogue's place makes its rewrite fail.
        QVERIFY(QFile::remove(path()));
        QVERIFY(QDir(folder->path()).mkdir("datalist.txt"));
        QVERIFY_THROWS_EXCEPTION(base::Failure, createDatabase(*program, c, "fresh", {storage::sampleItem()}));
        QVERIFY(!folder->exists("fresh.txt"));
        QCOMPARE(c.count(), 1);

        c.entries = {{"alias", "database.txt"}, {"mine", "Pref.txt"}, {"prefs", "Pref.txt"}, {"away", "../away.txt"},
                     {"up", ".."},                {".", "..txt"},     {"mine", "mine.txt"}};
        QCOMPARE(whyRemovalIsRefused("alias", c).value_or(""), QStringLiteral("You cannot delete the primary database"));
        for (const char *kept : {"prefs", "away", "up"})
            QVERIFY(whyRemovalIsRefused(kept, c).value_or("").contains("is kept"));
        QVERIFY(!whyRemovalIsRefused("mine", c)); // the last entry of a name counts
        QVERIFY(!whyRemovalIsRefused(".", c));
    }
};

QTEST_GUILESS_MAIN(CatalogueFileTest)
#include "catalogue_file_test.moc"
