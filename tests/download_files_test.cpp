// Where the download leaves its two files: a folder only the user may enter.
#include "app/failure.h"
#include "download/download_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

class DownloadFilesTest : public QObject
{
    Q_OBJECT

    QString base;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    }

    void init() { QDir(base).removeRecursively(); }
    void cleanupTestCase() { QDir(base).removeRecursively(); }

    void bothFilesKeepTheirNamesInAnOwnerOnlyFolder()
    {
        const QString folder = downloadfiles::privateFolder();
        QVERIFY(folder.startsWith(base));
        const QFileDevice::Permissions permissions = QFileInfo(folder).permissions();
        QVERIFY(permissions.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        // Nothing for the group or anyone else.
        QCOMPARE(int(permissions & 0x0077), 0);
        QCOMPARE(downloadfiles::listFilePath(), folder + "/tmp48127.txt");
        QCOMPARE(downloadfiles::databaseFilePath(), folder + "/tmp94838.txt");
    }

    void aFolderOpenToOthersIsMadePrivate()
    {
        const QString folder = downloadfiles::privateFolder();
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                  | QFileDevice::ReadOther | QFileDevice::WriteOther
                                                  | QFileDevice::ExeOther));
        QCOMPARE(downloadfiles::privateFolder(), folder);
        QCOMPARE(int(QFileInfo(folder).permissions() & 0x0077), 0);
    }

    void aLinkInThePlaceOfTheFolderIsRefused()
    {
        // Someone prepared the folder as a link to a place of their choosing.
        const QString folder = downloadfiles::privateFolder();
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(QDir().mkpath(base + "/elsewhere"));
        QVERIFY(QFile::link(base + "/elsewhere", folder));
        try {
            downloadfiles::databaseFilePath();
            QFAIL("a link was taken as the download folder");
        } catch (const Failure &failure) {
            QCOMPARE(failure.number(), int(ErrPathFileAccess));
            QVERIFY(failure.description().contains("is a link"));
        }
    }
};

QTEST_GUILESS_MAIN(DownloadFilesTest)
#include "download_files_test.moc"
