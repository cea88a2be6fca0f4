// Every writing operation against a write that fails at every byte (a file-size
// limit, as on a full disk): each fails with a message, and every file stays
// byte for byte as it was, until the limit lets the whole write through.
#include "download/download_files.h"
#include "storage/text_file.h"
#include "support/folder_state.h"
#include "support/program_fixture.h"
#include "support/write_limit.h"

#include <QDir>
#include <QStandardPaths>
#include <QTest>

#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

namespace {
bool syncFails = false;
} // namespace

// The program's fsync in this test: while syncFails is set, fails for the
// temporary file of a safe save as a disk that cannot store the data does.
extern "C" int fsync(int fd)
{
    char path[4096] = {};
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    if (syncFails && ::readlink(link.constData(), path, sizeof path - 1) > 0 && std::strstr(path, ".gearledger-save-")) {
        errno = EIO;
        return -1;
    }
    static const auto systemFsync = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    return systemFsync(fd);
}

class FailingWritesTest : public DialogsFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanupTestCase() { QDir(download::privateDownloadFolder()).removeRecursively(); }

    void everyWriteFailsWholeAtEveryByte()
    {
        ProgramOnFolder p(dialogs, crlf({"ring", "gold|", "sword", "sharp|", "cloak", "grey|"}));
        p.folder.write("datalist.txt", crlf({" 2 ", "database", "database.txt", "armour", "armour.txt"}));
        p.folder.write("armour.txt", crlf({"helmet", "iron|"}));
        p.folder.write("insert.txt", crlf({"a shield", "round", "", "bow", "long"}));
        storage::saveAtomically(download::databaseFilePath(), crlf({"axe", "keen|", "mace", "heavy|"}));
        const std::pair<const char *, std::function<base::Outcome()>> writes[] = {
            {"add", [&] { return p.program.addItem("helmet", "iron\nheavy"); }},
            {"update", [&] { return p.program.replaceItem(*p.program.listedItem(1), QString("blade"), QString("keen")); }},
            {"delete", [&] { return p.program.deleteListedItem(0); }},
            {"import", [&] { return p.program.importItems(p.folder.file("insert.txt")); }},
            {"merge", [&] { return p.program.mergeDownload(1); }},
            {"new database", [&] { return p.program.createDatabase("spare"); }},
            {"removal", [&] { return p.program.removeDatabase("spare"); }},
            {"colours", [&] { return p.program.saveColours({192, 255, 0}); }},
            {"undo", [&] { return p.program.undoLastChange(); }}};
        int tried = 0;
        for (const auto &[name, write] : writes) {
            for (rlim_t limit = 0;; ++limit) {
                (void)p.program.listAll();
                p.program.openCatalogue();
                const auto before = folderState(p.folder.path());
                base::Outcome outcome = base::Outcome::done();
                withWritesLimitedTo(limit, [&] { outcome = write(); });
                if (outcome.ok())
                    break;
                ++tried;
                QVERIFY2(outcome.failure(), qPrintable(QString("%1: %2").arg(name, outcome.message())));
                QVERIFY2(folderState(p.folder.path()) == before, qPrintable(QString("%1 at %2").arg(name).arg(limit)));
                VERIFY_TABLE(p); // a change lists what it wrote only once it is written
                QVERIFY2(limit < 100000, name);
            }
        }
        qInfo("%d failing writes tried", tried);
    }

    // A write is reported done only once it is on the disk.
    void aWriteWhoseSyncFailsFailsWhole()
    {
        ProgramOnFolder p(dialogs, crlf({"ring", "gold|"}));
        syncFails = true;
        const base::Outcome added = p.program.addItem("helmet", "iron");
        syncFails = false;
        QVERIFY2(added.message().contains("Input/output error"), qPrintable(added.message()));
        QCOMPARE(p.database(), crlf({"ring", "gold|"}));
        VERIFY_TABLE(p);
    }
};

QTEST_GUILESS_MAIN(FailingWritesTest)
#include "failing_writes_test.moc"
