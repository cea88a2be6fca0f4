// pref.txt read: both number forms, and bad files failing with their numbers
// (the two writers are shown by the first start and the preferences window).
#include "base/failure.h"
#include "storage/pref_file.h"
#include "support/test_folder.h"

#include <QTest>

class PrefFileTest : public QObject
{
    Q_OBJECT

private slots:
    void theColoursReadOrFailWithTheirNumbers_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("colours");
        QTest::addColumn<int>("failure");
        QTest::newRow("both number forms") << QByteArray(" 0 \r\n65280\r\n 255\r\n") << "0 65280 255" << 0;
        QTest::newRow("a line more") << QByteArray("16777215\r\n0\r\n0\r\nextra\r\n") << "16777215 0 0" << 0;
        QTest::newRow("two lines") << QByteArray(" 0 \r\n 0 \r\n") << "" << 62;
        QTest::newRow("empty") << QByteArray() << "" << 62;
        QTest::newRow("a word") << QByteArray("0\r\ngreen\r\n0\r\n") << "" << 13;
        QTest::newRow("an empty line") << QByteArray("0\r\n\r\n0\r\n") << "" << 13;
        QTest::newRow("beyond 32 bits") << QByteArray("0\r\n0\r\n99999999999\r\n") << "" << 6;
        QTest::newRow("beyond 24 bits") << QByteArray("16777216\r\n0\r\n0\r\n") << "" << 5;
        QTest::newRow("negative") << QByteArray("-1\r\n0\r\n0\r\n") << "" << 5;
    }
    void theColoursReadOrFailWithTheirNumbers()
    {
        QFETCH(QByteArray, file);
        TestFolder folder;
        folder.write("pref.txt", file);
        QString read;
        int number = 0;
        try {
            const storage::Prefs prefs = storage::readPrefs(folder.file("pref.txt"));
            read = QStringLiteral("%1 %2 %3").arg(prefs.background).arg(prefs.itemText).arg(prefs.descriptionText);
        } catch (const base::Failure &f) {
            number = f.number();
        }
        QTEST(number, "failure");
        QTEST(read, "colours");
    }
};

QTEST_GUILESS_MAIN(PrefFileTest)
#include "pref_file_test.moc"
