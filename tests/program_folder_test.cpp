// Where the program keeps its data. The install test shows a portable and an
// installed program choosing; here, what may go wrong with the user's folder.
#include "app/failure.h"
#include "app/program_folder.h"
#include "app/program_identity.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class ProgramFolderTest : public QObject
{
    Q_OBJECT

private slots:
    void aFolderThatCannotBeWrittenOrMadeTakesTheUsersFolderOrFailsWithItsReason()
    {
        setProgramIdentity();
        // The user's data folder lies in a folder of this test's own, which exists.
        QTemporaryDir dataHome;
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
        const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QCOMPARE(userFolder, dataHome.filePath("Gearledger"));
        QTemporaryDir portable;
        // A folder the user may not write (permission bits do not stop root).
        if (::geteuid() != 0) {
            QVERIFY(QFile::setPermissions(portable.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            QCOMPARE(chooseProgramFolder(portable.path()), userFolder);
            QVERIFY(QFileInfo(userFolder).isDir());
            QVERIFY(QFile::setPermissions(portable.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                               | QFileDevice::ExeOwner));
            QVERIFY(QDir(userFolder).removeRecursively());
        }
        // A file stands where the user's data folder belongs (an installed program's folder).
        QTemporaryDir prefix;
        QVERIFY(QDir().mkpath(prefix.filePath("bin")) && QDir().mkpath(prefix.filePath("share/metainfo")));
        QFile metainfo(prefix.filePath("share/metainfo/" + applicationId() + ".metainfo.xml"));
        QFile blocker(userFolder);
        QVERIFY(metainfo.open(QIODevice::WriteOnly) && blocker.open(QIODevice::WriteOnly));
        try {
            chooseProgramFolder(prefix.filePath("bin"));
            QFAIL("a file was taken as the program folder");
        } catch (const Failure &failure) {
            QCOMPARE(failure.description(),
                     "Path/File access error: the program folder " + QDir::toNativeSeparators(userFolder) + " cannot be created");
        }
    }
};

QTEST_GUILESS_MAIN(ProgramFolderTest)
#include "program_folder_test.moc"
