// The editor's form of a stored description, which must encode back to the
// stored form unchanged (the Add window's tests cover the encoding itself).
#include "editing/description_encoding.h"
#include "support/test_folder.h"

#include <QTest>

class DescriptionEncodingTest : public QObject
{
    Q_OBJECT

private slots:
    void theEditorShowsWhatEncodesBackToTheStoredForm_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("one line") << "x|" << "x";
        QTest::newRow("two lines") << "x|y|" << "x\ny";
        QTest::newRow("empty last line") << "x||" << "x\n";
        QTest::newRow("empty description") << "|" << "";
    }
    void theEditorShowsWhatEncodesBackToTheStoredForm()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(description::editableForm(stored), shown);
        TestFolder folder;
        QCOMPARE(description::encodeThroughScratch(folder.file("42198739.txt"), shown), stored);
    }

    void typedCrLfAndWindows1252TextEncodeAsLines()
    {
        TestFolder folder;
        const QString typed = QString::fromUtf8("5 \u20AC\r\ncaf\u00E9");
        QCOMPARE(description::encodeThroughScratch(folder.file("42198739.txt"), typed),
                 QString::fromUtf8("5 \u20AC|caf\u00E9|"));
        QCOMPARE(folder.read("42198739.txt"), QByteArray("5 \x80\r\ncaf\xE9\r\n"));
    }
};

QTEST_GUILESS_MAIN(DescriptionEncodingTest)
#include "description_encoding_test.moc"
