// Databases of many items: every operation on the whole of them.
#include "download/download_files.h"
#include "storage/text_file.h"
#include "support/folder_state.h"
#include "support/program_fixture.h"
#include "support/write_limit.h"

#include <QDir>
#include <QStandardPaths>
#include <QTest>

namespace {
QByteArray items(int from, int to)
{
    QByteArray bytes;
    for (int i = from; i < to; ++i)
        bytes += "item " + QByteArray::number(i) + "\r\nd " + QByteArray::number(i) + "|\r\n";
    return bytes;
}
} // namespace

class ManyItemsTest : public DialogsFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanupTestCase() { QDir(download::privateDownloadFolder()).removeRecursively(); }

    void everyOperationReachesEveryItem_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("10005") << 10005;
        QTest::newRow("200000") << 200000;
    }
    void everyOperationReachesEveryItem()
    {
        QFETCH(int, count);
        const QString last = QStringLiteral("item %1").arg(count - 1);
        ProgramOnFolder p(dialogs, items(0, count));
        p.folder.write("datalist.txt", crlf({" 1 ", "database", "database.txt"}));
        QCOMPARE(p.program.countText(), QStringLiteral("%1 items in database").arg(count));
        QVERIFY(p.program.search(last, true, false).ok());
        QCOMPARE(p.listed(), QStringList{last});
        QVERIFY(p.program.replaceItem(*p.program.listedItem(0), QStringLiteral("last"), std::nullopt).ok());
        QVERIFY(p.program.search(QStringLiteral("item 1"), true, false).ok());
        QVERIFY(p.program.deleteListedItem(0).ok());
        p.folder.write("insert.txt", crlf({"new one", "", "item 5", ""}));
        QVERIFY(p.program.importItems(p.folder.file("insert.txt")).ok());
        storage::saveAtomically(download::databaseFilePath(), items(count - 2, count + 2));
        p.program.openCatalogue();
        QVERIFY(p.program.mergeDownload(0).ok());
        const QByteArray renamed = "last\r\nd " + QByteArray::number(count - 1) + "|\r\nnew one\r\n\r\n";
        QCOMPARE(p.database(), items(0, 1) + items(2, count - 1) + renamed + items(count, count + 2));
        QCOMPARE(p.program.countText(), QStringLiteral("%1 items in database").arg(count + 2));
        VERIFY_TABLE(p);
        // A write that fails half-way changes nothing; an undo takes the merge back.
        const QMap<QString, QByteArray> before = folderState(p.folder.path());
        withWritesLimitedTo(p.database().size() / 2, [&] { QVERIFY(p.program.deleteListedItem(0).failure()); });
        QCOMPARE(folderState(p.folder.path()), before);
        QVERIFY(p.program.undoLastChange().ok());
        QCOMPARE(p.program.countText(), QStringLiteral("%1 items in database").arg(count));
    }
};

QTEST_GUILESS_MAIN(ManyItemsTest)
#include "many_items_test.moc"
