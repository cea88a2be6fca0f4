// pref.txt: both number forms and bad files (the two writers are shown by the first start and the
// preferences window).
#include "base/failure.h"
#include "storage/pref_file.h"
#include "support/test_folder.h"

#include <QTest>

class PrefFileTest : public QObject
{
    Q_OBJECT

    static int failureOf(const QByteArray &bytes)
    {
        TestFolder folder;
        folder.write("pref.txt", bytes);
        try {
            storage::readPrefs(folder.file("pref.txt"));
        } catch (const base::Failure &f) {
            return f.number();
        }
        return 0;
    }

private slots:
    void bothNumberFormsRead()
    {
        TestFolder folder;
        folder.write("pref.txt", " 0 \r\n65280\r\n 255\r\n");
        const storage::Prefs prefs = storage::readPrefs(folder.file("pref.txt"));
        QCOMPARE(prefs.background, 0u);
        QCOMPARE(prefs.itemText, 65280u);
        QCOMPARE(prefs.descriptionText, 255u);
    }

    void badFilesFailWithTheirNumbers()
    {
        QCOMPARE(failureOf(" 0 \r\n 0 \r\n"), 62);
        QCOMPARE(failureOf(""), 62);
        QCOMPARE(failureOf("0\r\ngreen\r\n0\r\n"), 13);
        QCOMPARE(failureOf("0\r\n\r\n0\r\n"), 13);
        QCOMPARE(failureOf("0\r\n0\r\n99999999999\r\n"), 6);
        QCOMPARE(failureOf("16777216\r\n0\r\n0\r\n"), 5);
        QCOMPARE(failureOf("-1\r\n0\r\n0\r\n"), 5);
        QCOMPARE(failureOf("16777215\r\n0\r\n0\r\nextra\r\n"), 0);
    }
};

QTEST_GUILESS_MAIN(PrefFileTest)
#include "pref_file_test.moc"
