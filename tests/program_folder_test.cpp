// Where the program keeps its data. The install test shows a portable and an
// installed program choosing; here, what may go wrong with the user's folder.
#include "base/failure.h"
#include "base/program_identity.h"
#include "storage/program_folder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class ProgramFolderTest : public QObject
{
    Q_OBJECT

    // An installed program's prefix: such a program keeps its data in the user's folder.
    QTemporaryDir prefix;
    QString installedBin() const { return prefix.filePath("bin"); }

private slots:
    void initTestCase()
    {
        base::setProgramIdentity();
        QVERIFY(QDir().mkpath(prefix.filePath("bin")) && QDir().mkpath(prefix.filePath("share/metainfo")));
        QFile metainfo(prefix.filePath("share/metainfo/" + base::applicationId() + ".metainfo.xml"));
        QVERIFY(metainfo.open(QIODevice::WriteOnly));
    }

    void aFolderThatCannotBeWrittenOrMadeTakesTheUsersFolderOrFailsWithItsReason()
    {
        // The user's data folder lies in a folder of this test's own, which exists.
        QTemporaryDir dataHome;
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
        const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QCOMPARE(userFolder, dataHome.filePath("Gearledger"));
        QTemporaryDir portable;
        // A folder the user may not write (permission bits do not stop root).
        if (::geteuid() != 0) {
            QVERIFY(QFile::setPermissions(portable.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            QCOMPARE(storage::chooseProgramFolder(portable.path()), userFolder);
            QVERIFY(QFileInfo(userFolder).isDir());
            QVERIFY(QFile::setPermissions(portable.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                               | QFileDevice::ExeOwner));
            QVERIFY(QDir(userFolder).removeRecursively());
        }
        // A file stands where the user's data folder belongs (an installed program's folder).
        QFile blocker(userFolder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        try {
            storage::chooseProgramFolder(installedBin());
            QFAIL("a file was taken as the program folder");
        } catch (const base::Failure &failure) {
            QCOMPARE(failure.description(),
                     "Path/File access error: the program folder " + QDir::toNativeSeparators(userFolder) + " cannot be created");
        }
    }

    // The user's folder follows XDG_DATA_HOME, else HOME, and is always an
    // absolute path; with neither, the program says why it has none. "{T}" is
    // this test's own folder, "-" an unset variable.
    void theUsersFolderIsAnAbsolutePathOrTheProgramSaysWhyThereIsNone_data()
    {
        QTest::addColumn<QByteArray>("dataHome");
        QTest::addColumn<QByteArray>("home");
        QTest::addColumn<QString>("chosen");
        const QString none = "Path/File access error: the program folder cannot be chosen, as there is no home folder "
                             "(HOME %1); set HOME or XDG_DATA_HOME to an absolute path";
        QTest::newRow("no home") << QByteArray("{T}/data/") << QByteArray("-") << "{T}/data/Gearledger";
        QTest::newRow("relative data home") << QByteArray("data") << QByteArray("{T}") << "{T}/.local/share/Gearledger";
        QTest::newRow("neither") << QByteArray("") << QByteArray("-") << none.arg("is not set");
        QTest::newRow("relative home") << QByteArray("-") << QByteArray("h") << none.arg("is \"h\", not an absolute path");
    }

    void theUsersFolderIsAnAbsolutePathOrTheProgramSaysWhyThereIsNone()
    {
        QFETCH(QByteArray, dataHome);
        QFETCH(QByteArray, home);
        QFETCH(QString, chosen);
        QTemporaryDir scratch;
        for (const auto &[name, value] : {std::pair{"XDG_DATA_HOME", dataHome}, {"HOME", home}}) {
            if (value == "-")
                qunsetenv(name);
            else
                qputenv(name, QByteArray(value).replace("{T}", QFile::encodeName(scratch.path())));
        }
        try {
            const QString folder = storage::chooseProgramFolder(installedBin());
            QVERIFY(QFileInfo(folder).isDir());
            QCOMPARE(folder, chosen.replace("{T}", scratch.path()));
        } catch (const base::Failure &failure) {
            QCOMPARE(failure.description(), chosen);
        }
    }
};

QTEST_GUILESS_MAIN(ProgramFolderTest)
#include "program_folder_test.moc"
