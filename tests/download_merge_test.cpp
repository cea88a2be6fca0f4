// Taking downloaded items into a database: what ends a download, and a merge
// the main window could not list. Which items come in is shown by the program
// object's catalogue test.
#include "app/failure.h"
#include "app/item_database.h"
#include "catalogue/download_merge.h"
#include "support/test_folder.h"

#include <QTest>

using namespace downloadmerge;

class DownloadMergeTest : public QObject
{
    Q_OBJECT

private slots:
    void onlyAnEmptyLastLineIsNoItemAndAMergeBeyondTheListsCapacityWritesNothing()
    {
        QCOMPARE(distinctItems(crlf({"", "nameless|", "ring", "gold|", ""})),
                 (QVector<Item>{{"", "nameless|"}, {"ring", "gold|"}}));
        QVERIFY_THROWS_EXCEPTION(Failure, distinctItems(crlf({"ring", "gold|", "half"})));

        const TestFolder folder;
        QVector<Item> full;
        for (int i = 0; i < 9999; ++i)
            full.append({QString::number(i), QString::number(i) + "|"});
        itemdb::rewriteItems(folder.file("db.txt"), full);
        QCOMPARE(mergeInto(folder.file("db.txt"), crlf({"last", "fits|"})), 1);
        const QByteArray before = folder.read("db.txt");
        QVERIFY_THROWS_EXCEPTION(Failure, mergeInto(folder.file("db.txt"), crlf({"one more", "too many|"})));
        QCOMPARE(folder.read("db.txt"), before);
    }
};

QTEST_GUILESS_MAIN(DownloadMergeTest)
#include "download_merge_test.moc"
