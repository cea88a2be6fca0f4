// Two copies of the program on one program folder, each in a process of its
// own as the executable runs: the second is refused, naming the folder, and
// touches nothing; a copy killed with SIGKILL keeps no later one out.
#include "support/folder_state.h"
#include "support/test_folder.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTest>

#include <csignal>

namespace {

const QString kProgramCopy = QStringLiteral(GEARLEDGER_PROGRAM_COPY);

// What a copy printed until it printed the line, or ended, or a minute passed.
QByteArray outputUntil(QProcess &copy, const QByteArray &line)
{
    QByteArray output;
    const QDeadlineTimer deadline(60000);
    while (!output.contains(line) && copy.waitForReadyRead(int(deadline.remainingTime())))
        output += copy.readAllStandardOutput();
    return output + copy.readAllStandardOutput();
}

} // namespace

class ProgramCopiesTest : public QObject
{
    Q_OBJECT

private slots:
    void aSecondCopyIsRefusedAndTouchesNothingAndAKilledCopyKeepsNoneOut()
    {
        TestFolder folder;
        folder.write("pref.txt", " 0 \r\n 65280 \r\n 65280 \r\n");
        folder.write("database.txt", sampleItemBytes());
        QProcess first;
        first.start(kProgramCopy, {folder.path()});
        QCOMPARE(outputUntil(first, "shown Form1"), QByteArray("shown Form1\n"));
        folder.write(".database.txt.gearledger-save-abc123", "what a killed save left, which a start-up removes");
        const QMap<QString, QByteArray> before = folderState(folder.path());

        QProcess second;
        second.start(kProgramCopy, {folder.path()});
        QVERIFY(second.waitForFinished(60000));
        QCOMPARE(second.exitCode(), 1);
        QCOMPARE(second.readAllStandardOutput(),
                 "message Another copy of Gearledger is already running on the program folder "
                     + folder.path().toUtf8() + ". Only one copy may use a program folder at a time, so this one will "
                     "not open it.\n");
        QCOMPARE(folderState(folder.path()), before);

        QVERIFY(::kill(pid_t(first.processId()), SIGKILL) == 0 && first.waitForFinished(60000));
        QProcess third;
        third.start(kProgramCopy, {folder.path()});
        QCOMPARE(outputUntil(third, "shown Form1"), QByteArray("shown Form1\n"));
        QVERIFY(!folder.exists(".database.txt.gearledger-save-abc123"));
        third.kill();
        QVERIFY(third.waitForFinished(60000));
    }
};

QTEST_GUILESS_MAIN(ProgramCopiesTest)
#include "program_copies_test.moc"
