// The on-line list of databases: its count line and its entries.
#include "app/item_database.h"
#include "app/text_file.h"
#include "download/download_list.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

class DownloadListTest : public QObject
{
    Q_OBJECT

private slots:
    void entriesFollowTheCountAndLaterLinesAreIgnored()
    {
        const DownloadList list = parseDownloadList(crlf({"2", "Alpha", "alpha.txt", "Beta", "beta.txt", "Gamma"}));
        QCOMPARE(list.names, (QStringList{"Alpha", "Beta"}));
        QCOMPARE(list.files, (QStringList{"alpha.txt", "beta.txt"}));
        QVERIFY(!list.isShort());
        QVERIFY(!list.isOverCapacity());
    }

    void theCountIsTheNumberAtTheStartOfLineOne()
    {
        QCOMPARE(parseDownloadList(crlf({" 1 ", "A", "a.txt"})).names, QStringList{"A"});
        QCOMPARE(parseDownloadList(crlf({"1 database", "A", "a.txt"})).names, QStringList{"A"});
        // A lone CR ends a line too.
        QCOMPARE(parseDownloadList("1\rA\ra.txt\r\n").files, QStringList{"a.txt"});
        for (const QByteArray &none : {crlf({"0", "A", "a.txt"}), crlf({"list", "A", "a.txt"}),
                                       crlf({"-3", "A", "a.txt"}), QByteArray(), QByteArray("\r\n")}) {
            const DownloadList list = parseDownloadList(none);
            QVERIFY2(list.names.isEmpty(), none.constData());
            QVERIFY(!list.isShort());
        }
    }

    void aListShorterThanItsCountGivesTheWholeEntriesItHolds()
    {
        // The name "Beta" has no file line: it is no entry.
        const DownloadList list = parseDownloadList(crlf({"3", "Alpha", "alpha.txt", "Beta"}));
        QCOMPARE(list.names, QStringList{"Alpha"});
        QCOMPARE(list.files, QStringList{"alpha.txt"});
        QCOMPARE(list.announced, 3);
        QVERIFY(list.isShort());
    }

    void moreThanAThousandEntriesGiveTheFirstThousand()
    {
        QByteArray bytes = "1200\r\n";
        for (int i = 1; i <= 1200; ++i)
            bytes += "Mud " + QByteArray::number(i) + "\r\nmud" + QByteArray::number(i) + ".txt\r\n";
        const DownloadList list = parseDownloadList(bytes);
        QCOMPARE(list.names.size(), 1000);
        QCOMPARE(list.files.last(), QStringLiteral("mud1000.txt"));
        QVERIFY(list.isOverCapacity());
        QVERIFY(!list.isShort());
        // A huge count is no overflow, only over capacity.
        QVERIFY(parseDownloadList(crlf({"99999999999999999999", "A", "a.txt"})).isOverCapacity());
    }

    void theShippedDownloadFolderIsAWellFormedList()
    {
        const QString list = QFINDTESTDATA("../download/site/downlist.txt");
        QVERIFY(!list.isEmpty());
        const DownloadList parsed = parseDownloadList(textfile::readAll(list));
        QCOMPARE(parsed.names.size(), int(parsed.announced));
        QVERIFY(parsed.names.size() >= 2);
        for (const QString &file : parsed.files) {
            const QString path = QFileInfo(list).dir().filePath(file);
            const QByteArray bytes = textfile::readAll(path);
            // Served byte for byte: every line ends in CR LF.
            QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
            QVERIFY2(!itemdb::readItems(path).isEmpty(), qPrintable(file));
        }
    }
};

QTEST_GUILESS_MAIN(DownloadListTest)
#include "download_list_test.moc"
