// Taking downloaded items into a database: what ends a download, and a merge
// the main window could not list. Which items come in is shown by the program
// object's catalogue test.
#include "base/failure.h"
#include "catalogue/download_merge.h"
#include "storage/item_database.h"
#include "support/test_folder.h"

#include <QTest>

using namespace catalogue;

class DownloadMergeTest : public QObject
{
    Q_OBJECT

private slots:
    void onlyAnEmptyLastLineIsNoItemAndAMergeBeyondTheListsCapacityWritesNothing()
    {
        QCOMPARE(distinctDownloadedItems(crlf({"", "nameless|", "ring", "gold|", ""})),
                 (QVector<storage::Item>{{"", "nameless|"}, {"ring", "gold|"}}));

        const QByteArray full = QByteArray("item\r\n|\r\n").repeated(9999);
        int taken = 0;
        QCOMPARE(newDownloadedRecords(full, "db.txt", crlf({"last", "fits|"}), &taken), crlf({"last", "fits|"}));
        QVERIFY_THROWS_EXCEPTION(
            base::Failure, newDownloadedRecords(full, "db.txt", crlf({"last", "fits|", "more", "too many|"}), &taken));
    }
};

QTEST_GUILESS_MAIN(DownloadMergeTest)
#include "download_merge_test.moc"
