// Where the program keeps its data: beside a portable executable, in the
// user's data folder for an installed one.
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

    QString userFolder;

    static QStringList everythingIn(const QString &folder)
    {
        QStringList names;
        for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
            names << info.fileName();
            if (info.isDir())
                for (const QString &inner : everythingIn(info.filePath()))
                    names << info.fileName() + '/' + inner;
        }
        return names;
    }

private slots:
    void initTestCase()
    {
        setProgramIdentity();
        QStandardPaths::setTestModeEnabled(true);
        userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QVERIFY(userFolder.endsWith("/Gearledger"));
        QFile::remove(userFolder);
        QDir(userFolder).removeRecursively();
    }
    void cleanupTestCase()
    {
        QFile::remove(userFolder);
        QDir(userFolder).removeRecursively();
    }

    void aPortableProgramKeepsItsFolderAndAnInstalledOneUsesTheUsersDataFolder()
    {
        QTemporaryDir portable;
        QCOMPARE(chooseProgramFolder(portable.path()), portable.path());
        QVERIFY(!QFileInfo::exists(userFolder));

        // An install: <prefix>/bin beside <prefix>/share/metainfo/<id>.metainfo.xml.
        QTemporaryDir prefix;
        QVERIFY(QDir().mkpath(prefix.filePath("bin")) && QDir().mkpath(prefix.filePath("share/metainfo")));
        QFile metainfo(prefix.filePath("share/metainfo/" + applicationId() + ".metainfo.xml"));
        QVERIFY(metainfo.open(QIODevice::WriteOnly));
        metainfo.close();
        const QStringList installed = everythingIn(prefix.path());
        QCOMPARE(chooseProgramFolder(prefix.filePath("bin")), userFolder);
        QVERIFY(QFileInfo(userFolder).isDir());
        QCOMPARE(chooseProgramFolder(prefix.filePath("bin")), userFolder); // the second start finds it made
        QCOMPARE(everythingIn(prefix.path()), installed);

        // A folder the user may not write (permission bits do not stop root).
        if (::geteuid() != 0) {
            QVERIFY(QFile::setPermissions(portable.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            QCOMPARE(chooseProgramFolder(portable.path()), userFolder);
            QVERIFY(QFile::setPermissions(portable.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        }

        // A file stands where the user's data folder belongs.
        QVERIFY(QDir(userFolder).removeRecursively());
        QFile blocker(userFolder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        try {
            chooseProgramFolder(prefix.filePath("bin"));
            QFAIL("a file was taken as the program folder");
        } catch (const Failure &failure) {
            QCOMPARE(failure.number(), int(ErrPathFileAccess));
            QCOMPARE(failure.description(),
                     "Path/File access error: the program folder " + QDir::toNativeSeparators(userFolder) + " cannot be created");
        }
    }
};

QTEST_GUILESS_MAIN(ProgramFolderTest)
#include "program_folder_test.moc"
