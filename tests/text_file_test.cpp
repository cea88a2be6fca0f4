// The text file layer: line ends, Windows-1252, safe saves and their leftovers. Numbers in files,
// refused text and read failures are shown by the tests of the files and operations that use them. A save
// failing at every byte is proven through every operation in failing_writes_test.
#include "storage/record_index.h"
#include "storage/text_file.h"
#include "storage/windows1252.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <numeric>

using storage::LineReader;

class TextFileTest : public QObject
{
    Q_OBJECT

    static QStringList linesOf(const QByteArray &bytes)
    {
        LineReader reader = LineReader::fromBytes(bytes);
        QStringList lines;
        while (!reader.atEnd())
            lines.append(reader.readLine());
        return lines;
    }

    // Every span of an index, and whether it has a dangling name.
    static QList<qsizetype> spansOf(const storage::RecordIndex &index)
    {
        QList<qsizetype> spans;
        for (const storage::Record &record : index.records)
            spans << record.name.begin << record.name.length << record.description.begin << record.description.length;
        if (index.danglingName)
            spans << index.danglingName->begin << index.danglingName->length;
        return spans;
    }

private slots:
    void crLfAndLoneCrEndLinesButLoneLfStaysInside()
    {
        QCOMPARE(linesOf("a\r\nb\r\n"), (QStringList{"a", "b"}));
        QCOMPARE(linesOf("a\rb\r"), (QStringList{"a", "b"}));
        QCOMPARE(linesOf("a\nb\r\nc"), (QStringList{"a\nb", "c"}));
        QCOMPARE(linesOf("a\r\r\nb"), (QStringList{"a", "", "b"}));
        QCOMPARE(linesOf("\r\n"), QStringList{""});
        QCOMPARE(linesOf(""), QStringList{});
    }

    void everyByteButCrAndLfReadsAndWritesBackUnchanged()
    {
        QByteArray all(256, Qt::Uninitialized);
        std::iota(all.begin(), all.end(), char(0));
        all.removeIf([](char c) { return c == '\r' || c == '\n'; });
        const QString text = storage::decodeWindows1252(all);
        QCOMPARE(text.size(), all.size());
        QCOMPARE(text.at(0x80 - 2), QChar(0x20AC)); // 0x80 is the euro sign
        QCOMPARE(text.at(0x81 - 2), QChar(0x81));   // undefined bytes are C1 controls
        QCOMPARE(storage::encodeLines({text}), all + "\r\n");
        // No other character has a byte: U+0080 is refused, not written as the euro sign's.
        for (char16_t u = 0; u < 0x2200; ++u) {
            const QString character(QChar{u});
            const bool writable = text.contains(character) || u == u'\r' || u == u'\n';
            QByteArray byte;
            QVERIFY2(storage::encodeWindows1252(character, &byte) == writable, qPrintable(QString::number(u, 16)));
            QCOMPARE(storage::canEncodeWindows1252(character), writable);
        }
    }

    void atomicSaveReplacesTheWholeFileKeepingItsPermissionsAndLinks()
    {
        TestFolder folder;
        folder.write("db.txt", "old\r\n");
        const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
        QVERIFY(QFile::setPermissions(folder.file("db.txt"), mode));
        QVERIFY(QFile::link(folder.file("db.txt"), folder.file("link.txt")));
        storage::saveAtomically(folder.file("link.txt"), "new\r\ncontent\r\n");
        QCOMPARE(folder.read("db.txt"), QByteArray("new\r\ncontent\r\n"));
        QCOMPARE(QFile::permissions(folder.file("db.txt")) & 0xF0FF, mode); // without the bits of the current user
        QVERIFY(QFileInfo(folder.file("link.txt")).isSymLink());
    }

    // Start-up removes what an interrupted save left behind, and nothing else.
    void onlyLeftoversOfOurOwnSavesAreRemoved()
    {
        TestFolder folder;
        const QStringList kept{"database.txt", "database.txt.abc123", "notes.gearledger-save",
                               ".database.txt.gearledger-save-abc12", ".database.txt.gearledger-save-abc1234"};
        for (const QString &name : kept)
            folder.write(name, "x");
        folder.write(".database.txt.gearledger-save-Ab3dE9", "half a save");
        folder.write(".pref.txt.gearledger-save-000000", "");
        QVERIFY(QDir(folder.path()).mkdir(".datalist.txt.gearledger-save-abcdef"));
        QVERIFY(QFile::link(folder.file("database.txt"), folder.file(".x.txt.gearledger-save-linked")));
        storage::removeSaveLeftovers(folder.path());
        QStringList expected = kept + QStringList{".datalist.txt.gearledger-save-abcdef", ".x.txt.gearledger-save-linked"};
        expected.sort();
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                               QDir::Name),
                 expected);
        QCOMPARE(folder.read("database.txt"), QByteArray("x"));
    }

    // The cleaning of another running copy, just before the temporary file takes the file's place.
    void aRunningSaveKeepsItsTemporaryFileFromTheCleaningUntilItIsInPlace()
    {
        TestFolder folder;
        folder.write("db.txt", "old\r\n");
        int removed = -1;
        storage::saveAtomically(folder.file("db.txt"), "new\r\n",
                                [&] { removed = storage::removeSaveLeftovers(folder.path()); });
        QCOMPARE(removed, 0);
        QCOMPARE(folder.read("db.txt"), QByteArray("new\r\n"));
    }

    // A large file is indexed beside its reading, piece by piece: the index is the one of its bytes
    // read whole, whatever line end straddles the pieces (4 MiB) and the scans' chunks.
    // A file's items read in pieces (in two halves at once from two pieces on), or counted piece by
    // piece, are those its bytes index, wherever a line end falls between pieces or halves; counting
    // up to one item says whether it holds any.
    void aFileReadOrCountedInPiecesHasTheItemsItsBytesIndex_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("a dangling name") << QByteArray("a");
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n");
        QTest::newRow("lone CRs, the last line without its end") << QByteArray("a\rb\rc\r\nd");
        QTest::newRow("lone LFs stay inside") << QByteArray("a\nb\r\nc\n\r\n\n");
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb\r\n");
        QTest::newRow("a line of one LF after CR LF") << QByteArray("a\r\nb\r\n\n");
        QTest::newRow("empty lines") << QByteArray("\r\n\r\n\r");
        QTest::newRow("odd lines, then no line end") << QByteArray("a\r\nb\r\nc\r\ndefghijklmnop");
        QTest::newRow("even lines, then no line end") << QByteArray("a\r\nb\r\ncdefghijklmnop");
        QTest::newRow("one long line, then items") << QByteArray("abcdefghijklmnop\r\nq\r\nr\rs\r\n");
        QTest::newRow("over the scan's chunks") << QByteArray("ab\r\n\rc\n").repeated(1500) + "x";
    }

    void aFileReadOrCountedInPiecesHasTheItemsItsBytesIndex()
    {
        QFETCH(QByteArray, bytes);
        TestFolder folder;
        folder.write("db.txt", bytes);
        const storage::RecordIndex whole = storage::indexRecords(bytes);
        const qsizetype items = whole.records.size();
        for (const qsizetype piece : {qsizetype(1), qsizetype(2), qsizetype(3), qsizetype(7), storage::kCountPiece}) {
            storage::FileStamp stamp;
            QCOMPARE(storage::countRecords(folder.file("db.txt"), &stamp, items + 1, piece), items);
            QCOMPARE(storage::countRecords(folder.file("db.txt"), &stamp, 1, piece), qMin(items, qsizetype(1)));
            const storage::IndexedFile read = storage::readIndexedFile(folder.file("db.txt"), &stamp, 0, piece);
            QCOMPARE(read.bytes, bytes);
            QCOMPARE(stamp.size, bytes.size());
            QCOMPARE(spansOf(read.index), spansOf(whole));
        }
    }

    // At the pieces it is read in, a large file's halves meet inside an item or between two.
    void aLargeFileReadWithItsIndexIsIndexedAsItsBytes_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("last");
        QTest::newRow("CR LF over every boundary") << QByteArray("name of 15\r\n") << QByteArray("end\r\n");
        QTest::newRow("lone CRs, a lone LF inside") << QByteArray("x\ny\r") << QByteArray("dangling");
        QTest::newRow("one long line") << QByteArray(1 << 20, 'a') << QByteArray("\r\nd\r\n");
        QTest::newRow("no line end in the second half") << QByteArray(1 << 20, 'a') << QByteArray("d");
    }

    void aLargeFileReadWithItsIndexIsIndexedAsItsBytes()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, last);
        TestFolder folder;
        QByteArray bytes = line.repeated(9 * (1 << 20) / line.size() + 1);
        bytes.insert(4 * (1 << 20) - 1, "\r\n"); // CR ends the first half, its LF starts the second
        folder.write("db.txt", bytes + last);
        storage::FileStamp stamp;
        const storage::IndexedFile read = storage::readIndexedFile(folder.file("db.txt"), &stamp, 0);
        QCOMPARE(read.bytes, bytes + last);
        QCOMPARE(stamp.size, read.bytes.size());
        QCOMPARE(spansOf(read.index), spansOf(storage::indexRecords(read.bytes)));
    }

    // A file that holds more than its size said when it was opened, as the system's own files do, is
    // read to its end.
    void aFileIsReadPastTheSizeItHadWhenOpened()
    {
        QFile system(QStringLiteral("/proc/self/cmdline"));
        QVERIFY(system.open(QIODevice::ReadOnly));
        const QByteArray expected = system.readAll();
        QVERIFY(!expected.isEmpty());
        storage::FileStamp stamp;
        const storage::IndexedFile read = storage::readIndexedFile(system.fileName(), &stamp, 0, 1);
        QCOMPARE(stamp.size, 0);
        QCOMPARE(read.bytes, expected);
        QCOMPARE(storage::readFile(system.fileName()), expected);
        QCOMPARE(spansOf(read.index), spansOf(storage::indexRecords(expected)));
    }
};

QTEST_GUILESS_MAIN(TextFileTest)
#include "text_file_test.moc"
