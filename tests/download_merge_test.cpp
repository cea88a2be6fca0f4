// Taking downloaded items into a database: what ends a download, and a merge
// the main window could not list. Which items come in is shown by the Which
// Database window's test.
#include "app/failure.h"
#include "app/item_database.h"
#include "catalogue/download_merge.h"
#include "support/test_folder.h"

#include <QTest>

using namespace downloadmerge;

class DownloadMergeTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestFolder> folder;
    QVector<Item> downloaded(const QByteArray &bytes)
    {
        folder->write("tmp94838.txt", bytes);
        return readDownloadedItems(folder->file("tmp94838.txt"));
    }

private slots:
    void init() { folder = std::make_unique<TestFolder>(); }

    void onlyAnEmptyLastLineIsNoItem()
    {
        QCOMPARE(downloaded(crlf({"", "nameless|", "ring", "gold|", ""})),
                 (QVector<Item>{{"", "nameless|"}, {"ring", "gold|"}}));
        QVERIFY(downloaded("\r\n").isEmpty());
    }

    void aMergeBeyondTheListsCapacityWritesNothing()
    {
        QVector<Item> full;
        for (int i = 0; i < 9999; ++i)
            full.append({QString::number(i), QString::number(i) + "|"});
        itemdb::rewriteItems(folder->file("db.txt"), full);
        QCOMPARE(mergeInto(folder->file("db.txt"), {{"last", "fits|"}}), 1);
        const QByteArray before = folder->read("db.txt");
        QVERIFY_THROWS_EXCEPTION(Failure, mergeInto(folder->file("db.txt"), {{"one more", "too many|"}}));
        QCOMPARE(folder->read("db.txt"), before);
    }
};

QTEST_GUILESS_MAIN(DownloadMergeTest)
#include "download_merge_test.moc"
