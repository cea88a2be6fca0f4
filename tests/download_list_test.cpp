// The on-line list of databases: its count line and its entries.
#include "download/download_list.h"
#include "storage/item_database.h"
#include "storage/text_file.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

class DownloadListTest : public QObject
{
    Q_OBJECT

private slots:
    void entriesFollowTheCountAsFarAsTheListAndTheWindowGo()
    {
        download::DownloadList list =
            download::parseDownloadList(crlf({"2 databases", "Alpha", "alpha.txt", "Beta", "beta.txt", "Gamma"}));
        QCOMPARE(list.names, (QStringList{"Alpha", "Beta"}));
        QCOMPARE(list.files, (QStringList{"alpha.txt", "beta.txt"}));
        QVERIFY(!list.isShort() && !list.isOverCapacity());
        // The name "Beta" has no file line: it is no entry.
        list = download::parseDownloadList(crlf({"3", "Alpha", "alpha.txt", "Beta"}));
        QCOMPARE(list.files, QStringList{"alpha.txt"});
        QVERIFY(list.isShort());
        // More than a thousand entries give the first thousand.
        QByteArray bytes = "1200\r\n";
        for (int i = 1; i <= 1200; ++i)
            bytes += "Mud " + QByteArray::number(i) + "\r\nmud" + QByteArray::number(i) + ".txt\r\n";
        list = download::parseDownloadList(bytes);
        QCOMPARE(list.files.size(), 1000);
        QCOMPARE(list.files.last(), QStringLiteral("mud1000.txt"));
        QVERIFY(list.isOverCapacity() && !list.isShort());
        // A huge count is no overflow, only over capacity.
        QVERIFY(download::parseDownloadList(crlf({"99999999999999999999", "A", "a.txt"})).isOverCapacity());
    }

    void theShippedDownloadFolderIsAWellFormedList()
    {
        const QString list = QFINDTESTDATA("../download/site/downlist.txt");
        const download::DownloadList parsed = download::parseDownloadList(storage::readFile(list));
        QVERIFY(parsed.names.size() >= 2 && !parsed.isShort());
        for (const QString &file : parsed.files) {
            const QString path = QFileInfo(list).dir().filePath(file);
            const QByteArray bytes = storage::readFile(path);
            // Served byte for byte: every line ends in CR LF.
            QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
            QVERIFY2(!storage::readItems(path).isEmpty(), qPrintable(file));
        }
    }
};

QTEST_GUILESS_MAIN(DownloadListTest)
#include "download_list_test.moc"
