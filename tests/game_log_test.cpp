// Harvesting a game log: blocks among chatter, in any encoding and line end,
// read whole or in pieces split anywhere.
#include "editing/game_log.h"

#include <QTest>

#include <sys/resource.h>

#include <memory>

class GameLogTest : public QObject
{
    Q_OBJECT

private slots:
    void everyBlockIsFoundWhateverTheEncodingLineEndsAndPieces()
    {
        const QByteArray log =
            "\xEF\xBB\xBF\x1b[32mYou say 'Object 'x' is mine'\x1b[0m\n"                            // UTF-8 with a mark
            "Object 'p\xC3\xA9" "e' is type weapon.\nWeight 5.\n\n"                                  // UTF-8
            "\x1b[1;33mObject 'caf\xE9 mug'\x1b[0m is type drink.\r\n\tHolds 1.  \r\n"                // Windows-1252, ended by the next block
            "Object 'helm' is type armor.\r\xE2\x82\xAC\r\x80\r\r"                                  // lone CRs; lines of the euro sign alone
            "chatter\n\r"
            "Object 'caf\xC3\xA9 mug' is type drink.\n\r        Holds 1.\n\r\n\r"                      // the mug again, in UTF-8
            "Object 'arrow \xE2\x86\x92' is type ammo.\n"                                             // no place in a database
            "Object 'ring' is type jewel.\nWorn.";                                                      // no line end at the end
        const QVector<editing::FoundItem> expected = {
            {{QString::fromUtf8("p\u00E9e"), "Object 'p\u00E9e' is type weapon.|Weight 5.|"}, 1, true},
            {{QString::fromUtf8("caf\u00E9 mug"), "Object 'caf\u00E9 mug' is type drink.|        Holds 1.|"}, 2, true},
            {{"helm", "Object 'helm' is type armor.|\u20AC|\u20AC|"}, 1, true},
            {{QString::fromUtf8("arrow \u2192"), "Object 'arrow \u2192' is type ammo.|"}, 1, false},
            {{"ring", "Object 'ring' is type jewel.|Worn.|"}, 1, true},
        };
        for (qsizetype pieceSize : {log.size(), qsizetype(1), qsizetype(2), qsizetype(3), qsizetype(7)}) {
            editing::Harvester harvester(editing::kDefaultBlockStart);
            for (qsizetype at = 0; at < log.size(); at += pieceSize)
                harvester.feed(QByteArrayView(log).sliced(at, qMin(pieceSize, log.size() - at)));
            harvester.finish();
            QCOMPARE(harvester.blocks(), 6);
            QCOMPARE(harvester.found().size(), expected.size());
            for (qsizetype i = 0; i < expected.size(); ++i) {
                const editing::FoundItem &found = harvester.found()[i];
                QCOMPARE(found.item, expected[i].item);
                QVERIFY(found.timesFound == expected[i].timesFound && found.writable == expected[i].writable);
            }
        }
    }

    // The harvester holds at most a line and a block, cut (100 MB of tabs took
    // 1.9 GB, 1 GB of NUL bytes 5.1 GB); a cut keeps whole characters, also
    // when the log comes in small pieces.
    void longLinesAndBlocksAreCutAndTheRestSkipped()
    {
        const auto harvest = [](const QByteArray &log, int times, qsizetype pieceSize) {
            auto harvester = std::make_unique<editing::Harvester>(editing::kDefaultBlockStart);
            for (qsizetype at = 0; at < log.size() * times; at += pieceSize)
                harvester->feed(QByteArrayView(log).sliced(at % log.size(), qMin(pieceSize, log.size() - at % log.size())));
            harvester->finish();
            return harvester;
        };
        QByteArray tabs = "Object 'tabs' is " + QByteArray(1 << 20, '\t');
        for (qsizetype at = 100; at < tabs.size(); at += 4096)
            tabs[at] = 'x'; // the tabs between are expanded
        for (const auto &[log, times] : {std::pair{QByteArray(1 << 20, '\0'), 1024}, {tabs, 100}}) {
            const auto harvested = harvest(log, times, log.size());
            QVERIFY(harvested->cutLines() == 1
                    && harvested->mostKept() <= editing::kLongestLine + editing::kLongestBlock);
            QVERIFY(harvested->found().value(0).item.description.size() <= editing::kLongestLine + 1);
        }
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        qInfo("peak memory after 1 GB of NUL bytes and 100 MB of tabs: %ld MiB", usage.ru_maxrss / 1024);

        const QByteArray line = "Object '\xC3\xA9' is " + QByteArray(editing::kLongestLine - 16, 'a') + "\xC3\xA9 b\n";
        const auto cut = harvest(line + QByteArray(editing::kLongestLine, 'c').append('\n').repeated(4), 1, 7);
        QVERIFY(cut->cutLines() == 1 && cut->cutBlocks() == 1 && cut->found().size() == 1);
        QCOMPARE(cut->found()[0].item.name, QString::fromUtf8("\u00E9"));
        QCOMPARE(cut->found()[0].item.description, QString::fromUtf8(line.first(editing::kLongestLine - 1)) + "|"
                                                       + QString(editing::kLongestLine, 'c').append('|').repeated(2));
    }
};

QTEST_GUILESS_MAIN(GameLogTest)
#include "game_log_test.moc"
