// Harvesting a game log through the program object: reading on its own
// thread, comparing with the current database, and adding in one undo step.
#include "program/log_reading.h"
#include "support/program_on_folder.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Item k as a block's lines and as the database stores it.
QByteArray blockOf(int k, bool utf8)
{
    return "Object '\x1b[33mitem " + QByteArray::number(k) + "\x1b[0m' is type treasure.\nWeight "
           + QByteArray::number(k) + ".\nWorth: " + (utf8 ? "caf\xC3\xA9" : "caf\xE9") + "\n";
}
QByteArray storedItem(int k)
{
    return "item " + QByteArray::number(k) + "\r\nObject 'item " + QByteArray::number(k)
           + "' is type treasure.|Weight " + QByteArray::number(k) + ".|Worth: caf\xE9|\r\n";
}

} // namespace

class ProgramHarvestTest : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;

private slots:
    void cleanup() { VERIFY_DIALOGS(dialogs); }

    void aLogOf5000BlocksIsHarvestedWithTheRightCountsInOneUndoStep()
    {
        // Items 0-49 are there as found, 50-99 with another description.
        QByteArray database;
        for (int k = 0; k < 100; ++k)
            database += k < 50 ? storedItem(k) : "item " + QByteArray::number(k) + "\r\nold|\r\n";
        ProgramOnFolder p(dialogs, database);
        // 1000 items, each in 5 blocks of different encodings and line ends, among chatter.
        const QByteArray lineEnds[] = {"\r\n", "\n", "\r", "\n\r"};
        QByteArray log;
        for (int i = 0; i < 5000; ++i) {
            const QByteArray end = lineEnds[i % 4];
            log += QByteArray(blockOf(i % 1000, i % 3 == 0) + "\n\x1b[32mYou say 'hi'\x1b[0m\n").replace("\n", end);
        }
        p.folder.write("session.log", log);

        const std::unique_ptr<program::LogReading> reading =
            p.program.readGameLog(p.folder.file("session.log"), "Object '");
        QSignalSpy finished(reading.get(), &program::LogReading::finished);
        reading->start();
        QVERIFY(finished.wait());
        const editing::Harvester &harvest = reading->harvest();
        QCOMPARE(harvest.blocks(), 5000);
        QCOMPARE(harvest.found().size(), 1000);
        QVector<program::Program::Standing> standings;
        QVERIFY(p.program.compareWithCurrentDatabase(harvest.found(), &standings).ok());
        QVector<storage::Item> fresh;
        for (int k = 0; k < 1000; ++k) {
            QCOMPARE(harvest.found()[k].timesFound, 5);
            QCOMPARE(int(standings[k]), int(k < 50    ? program::Program::Standing::Same
                                            : k < 100 ? program::Program::Standing::Different
                                                      : program::Program::Standing::New));
            if (k >= 100)
                fresh.append(harvest.found()[k].item);
        }

        QVERIFY(p.program.addHarvest(fresh).ok());
        QByteArray expected = database;
        for (int k = 100; k < 1000; ++k)
            expected += storedItem(k);
        QCOMPARE(p.database(), expected);
        QCOMPARE(p.program.undoableChange().value_or("<none>"), QStringLiteral("Harvest of 900 items"));
        QVERIFY(p.program.undoLastChange().ok());
        QCOMPARE(p.database(), database);
        QVERIFY(!p.program.undoableChange());
    }
};

QTEST_GUILESS_MAIN(ProgramHarvestTest)
#include "program_harvest_test.moc"
