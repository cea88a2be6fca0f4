// The description encoding through the scratch file and the editor's form of a
// stored description.
#include "app/failure.h"
#include "editing/description_encoding.h"
#include "support/test_folder.h"

#include <QTest>

class DescriptionEncodingTest : public QObject
{
    Q_OBJECT

private slots:
    void encodingPutsABarAfterEveryLine_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QByteArray>("scratch");
        QTest::newRow("two lines") << "x\ny" << "x|y|" << QByteArray("x\r\ny\r\n");
        QTest::newRow("empty") << "" << "|" << QByteArray("\r\n");
        QTest::newRow("ends in a line end") << "x\n" << "x||" << QByteArray("x\r\n\r\n");
        QTest::newRow("CR LF typed") << "x\r\ny" << "x|y|" << QByteArray("x\r\ny\r\n");
        QTest::newRow("bar typed") << "a|b" << "a|b|" << QByteArray("a|b\r\n");
        QTest::newRow("Windows-1252") << QString::fromUtf8("5 \u20AC caf\u00E9") << QString::fromUtf8("5 \u20AC caf\u00E9|")
                                      << QByteArray("5 \x80 caf\xE9\r\n");
    }
    void encodingPutsABarAfterEveryLine()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QByteArray, scratch);
        TestFolder folder;
        folder.write("42198739.txt", "an older description that is longer\r\n");
        QCOMPARE(description::encodeThroughScratch(folder.file("42198739.txt"), typed), stored);
        QCOMPARE(folder.read("42198739.txt"), scratch);
    }

    void textTheFilesCannotHoldIsRefusedWithoutWriting()
    {
        TestFolder folder;
        try {
            description::encodeThroughScratch(folder.file("42198739.txt"), QString::fromUtf8("snow \u2603"));
            QFAIL("no failure");
        } catch (const Failure &failure) {
            QCOMPARE(failure.number(), 5);
        }
        QVERIFY(!folder.exists("42198739.txt"));
    }

    void theEditorShowsWhatEncodesBackToTheStoredForm_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("one line") << "x|" << "x";
        QTest::newRow("two lines") << "x|y|" << "x\ny";
        QTest::newRow("empty last line") << "x||" << "x\n";
        QTest::newRow("empty description") << "|" << "";
        QTest::newRow("sample") << "Weight 0 |Value 7|" << "Weight 0 \nValue 7";
    }
    void theEditorShowsWhatEncodesBackToTheStoredForm()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(description::editableForm(stored), shown);
        TestFolder folder;
        QCOMPARE(description::encodeThroughScratch(folder.file("42198739.txt"), shown), stored);
    }

    void aStoredFormWithoutFinalBarShowsAllItsLines()
    {
        QCOMPARE(description::editableForm(QString()), QString());
        QCOMPARE(description::editableForm("a|b"), QStringLiteral("a\nb"));
    }
};

QTEST_GUILESS_MAIN(DescriptionEncodingTest)
#include "description_encoding_test.moc"
