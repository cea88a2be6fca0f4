// The "Add New Item" window: what is typed is added, and the window closes.
#include "support/program_fixture.h"
#include "support/write_limit.h"
#include "windows/add_item_window.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

class AddItemWindowTest : public DialogsFixture
{
    Q_OBJECT

private slots:

    void addAppendsTheTypedItemAndClosesOrStaysOpenWithTheTextOnAFailure()
    {
        const QByteArray before = crlf({"ring", "gold|"});
        ProgramOnFolder p(dialogs, before);
        windows::AddItemWindow window(p.program, dialogs);
        window.show();
        QTest::keyClicks(window.findChild<QLineEdit *>("Text1"), "helmet");
        // A no-break space reaches the file as the byte A0.
        window.findChild<QPlainTextEdit *>("Text2")->setPlainText(QString::fromUtf8("iron\nheavy\u00A0plate"));
        dialogs.expectMessage("Unanticipated error #75  Description: Path/File access error: could not write "
                              "database.txt (File too large)   Source: Gearledger");
        withWritesLimitedTo(30, [&] { QTest::mouseClick(window.findChild<QPushButton *>("Command1"), Qt::LeftButton); });
        QVERIFY(window.isVisible());
        QCOMPARE(window.findChild<QLineEdit *>("Text1")->text(), QStringLiteral("helmet"));

        QTest::mouseClick(window.findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(p.database(), before + crlf({"helmet", "iron|heavy\xA0plate|"}));
        QVERIFY(!window.isVisible());
        QCOMPARE(p.listed(), (QStringList{"ring", "helmet"}));
    }
};

QTEST_MAIN(AddItemWindowTest)
#include "add_item_window_test.moc"
