// The "Edit" window: it shows the listed item and updates its own record.
#include "support/program_fixture.h"
#include "windows/edit_item_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

class EditItemWindowTest : public DialogsFixture
{
    Q_OBJECT

private slots:

    void theWindowShowsTheItemAndUpdatesOnlyWhatWasChanged()
    {
        const QByteArray items = crlf({"ring", "first|", "axe", "keen|edged|x"});
        ProgramOnFolder p(dialogs, items);
        windows::EditItemWindow window(p.program, dialogs);
        window.show();
        auto *name = window.findChild<QLineEdit *>("Text1");
        auto *description = window.findChild<QPlainTextEdit *>("Text2");
        auto *update = window.findChild<QPushButton *>("Command1");

        window.edit(*p.program.listedItem(1));
        QCOMPARE(name->text(), QStringLiteral("axe"));
        QCOMPARE(description->toPlainText(), QStringLiteral("keen\nedged\nx")); // no final bar, no extra line
        QCOMPARE(window.findChild<QLabel *>("Label3")->text(), QStringLiteral("1"));
        QTest::mouseClick(update, Qt::LeftButton);
        QCOMPARE(p.database(), items); // unchanged, byte for byte
        QVERIFY(!window.isVisible());

        window.show();
        window.edit(*p.program.listedItem(0));
        name->setText("gold ring");
        description->setPlainText(QString::fromUtf8("first\u00A0one"));
        QTest::mouseClick(update, Qt::LeftButton);
        QCOMPARE(p.database(), crlf({"gold ring", "first\xA0one|", "axe", "keen|edged|x"}));
        QCOMPARE(p.listed(), (QStringList{"gold ring", "axe"}));
    }
};

QTEST_MAIN(EditItemWindowTest)
#include "edit_item_window_test.moc"
