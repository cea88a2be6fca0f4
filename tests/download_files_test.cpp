// Where the download leaves its two files: a folder only the user may enter.
#include "base/failure.h"
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
    static int othersPermissions(const QString &path) { return int(QFileInfo(path).permissions() & 0x0077); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    }
    void init() { QDir(base).removeRecursively(); }
    void cleanupTestCase() { QDir(base).removeRecursively(); }

    void bothFilesKeepTheirNamesInAFolderOnlyTheOwnerMayEnterAndNoLinkIsTaken()
    {
        const QString folder = download::privateDownloadFolder();
        QVERIFY(folder.startsWith(base));
        QCOMPARE(othersPermissions(folder), 0);
        QCOMPARE(download::listFilePath(), folder + "/tmp48127.txt");
        QCOMPARE(download::databaseFilePath(), folder + "/tmp94838.txt");
        // Opened to others meanwhile: made private again.
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                  | QFileDevice::ReadOther | QFileDevice::WriteOther));
        QCOMPARE(download::privateDownloadFolder(), folder);
        QCOMPARE(othersPermissions(folder), 0);

        // Someone prepared the folder as a link to a place of their choosing.
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(QDir().mkpath(base + "/elsewhere"));
        QVERIFY(QFile::link(base + "/elsewhere", folder));
        try {
            download::databaseFilePath();
            QFAIL("a link was taken as the download folder");
        } catch (const base::Failure &failure) {
            QCOMPARE(failure.number(), int(base::ErrPathFileAccess));
            QVERIFY(failure.description().contains("is a link"));
        }

        // A relative home folder gives a relative cache folder, which would lie wherever the program started.
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", "home");
        try {
            download::privateDownloadFolder();
            QFAIL("a relative path was taken as the download folder");
        } catch (const base::Failure &failure) {
            QVERIFY(failure.description().endsWith("has no place: the user's cache folder is not an absolute path"));
        }
        qputenv("HOME", home);
    }
};

QTEST_GUILESS_MAIN(DownloadFilesTest)
#include "download_files_test.moc"
