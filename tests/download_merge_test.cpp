// Taking downloaded items into a database: what ends a download. Which items
// come in is shown by the program object's catalogue test.
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
    void onlyAnEmptyLastLineIsNoItem()
    {
        QCOMPARE(distinctDownloadedItems(crlf({"", "nameless|", "ring", "gold|", ""})),
                 (QVector<storage::Item>{{"", "nameless|"}, {"ring", "gold|"}}));
        QVERIFY_THROWS_EXCEPTION(base::Failure, distinctDownloadedItems(crlf({"ring", "gold|", "half"})));
    }
};

QTEST_GUILESS_MAIN(DownloadMergeTest)
#include "download_merge_test.moc"
