// Replacing and removing one record of a database file, named by its place.
#include "app/failure.h"
#include "editing/record_edit.h"
#include "support/test_folder.h"

#include <QTest>

using recordedit::Outcome;

namespace {
const QByteArray kTwins = crlf({"ring", "first|", "sword", "sharp|", "ring", "second|"});
}

class RecordEditTest : public QObject
{
    Q_OBJECT

private slots:
    void replaceChangesOnlyTheNamedRecordAmongTwins()
    {
        TestFolder folder;
        folder.write("db.txt", kTwins);
        QCOMPARE(recordedit::replaceRecord(folder.file("db.txt"), 0, {"ring", "first|"}, {"gold ring", "shiny|"}),
                 Outcome::Done);
        QCOMPARE(folder.read("db.txt"), crlf({"gold ring", "shiny|", "sword", "sharp|", "ring", "second|"}));
    }

    void removeTakesOutOnlyTheNamedRecordAmongTwins()
    {
        TestFolder folder;
        folder.write("db.txt", kTwins);
        QCOMPARE(recordedit::removeRecord(folder.file("db.txt"), 2, {"ring", "second|"}), Outcome::Done);
        QCOMPARE(folder.read("db.txt"), crlf({"ring", "first|", "sword", "sharp|"}));
        QCOMPARE(recordedit::removeRecord(folder.file("db.txt"), 0, {"ring", "first|"}), Outcome::Done);
        QCOMPARE(recordedit::removeRecord(folder.file("db.txt"), 0, {"sword", "sharp|"}), Outcome::Done);
        QCOMPARE(folder.read("db.txt"), QByteArray());
    }

    void aRecordThatNoLongerHoldsTheItemIsLeftAlone_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("desc");
        QTest::newRow("other name there") << 1 << "ring" << "first|";
        QTest::newRow("other description there") << 2 << "ring" << "first|";
        QTest::newRow("past the end") << 3 << "ring" << "first|";
        QTest::newRow("no record") << -1 << "ring" << "first|";
    }
    void aRecordThatNoLongerHoldsTheItemIsLeftAlone()
    {
        QFETCH(int, record);
        QFETCH(QString, name);
        QFETCH(QString, desc);
        TestFolder folder;
        folder.write("db.txt", kTwins);
        QCOMPARE(recordedit::replaceRecord(folder.file("db.txt"), record, {name, desc}, {"x", "y|"}),
                 Outcome::RecordChanged);
        QCOMPARE(recordedit::removeRecord(folder.file("db.txt"), record, {name, desc}), Outcome::RecordChanged);
        QCOMPARE(folder.read("db.txt"), kTwins);
    }

    void failuresLeaveTheFileAsItWas()
    {
        TestFolder folder;
        folder.write("odd.txt", crlf({"ring", "first|", "orphan"}));
        try {
            recordedit::removeRecord(folder.file("odd.txt"), 0, {"ring", "first|"});
            QFAIL("no failure");
        } catch (const Failure &failure) {
            QCOMPARE(failure.number(), 62);
        }
        QCOMPARE(folder.read("odd.txt"), crlf({"ring", "first|", "orphan"}));

        folder.write("db.txt", kTwins);
        try {
            recordedit::replaceRecord(folder.file("db.txt"), 0, {"ring", "first|"}, {QString::fromUtf8("\u2603"), "|"});
            QFAIL("no failure");
        } catch (const Failure &failure) {
            QCOMPARE(failure.number(), 5);
        }
        QCOMPARE(folder.read("db.txt"), kTwins);

        try {
            recordedit::removeRecord(folder.file("gone.txt"), 0, {"ring", "first|"});
            QFAIL("no failure");
        } catch (const Failure &failure) {
            QCOMPARE(failure.number(), 53);
        }
        QVERIFY(!folder.exists("gone.txt"));
    }
};

QTEST_GUILESS_MAIN(RecordEditTest)
#include "record_edit_test.moc"
