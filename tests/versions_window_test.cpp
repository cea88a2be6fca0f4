// The Earlier Versions window: what it lists, and Restore.
#include "support/program_fixture.h"
#include "windows/versions_window.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

class VersionsWindowTest : public DialogsFixture
{
    Q_OBJECT

private slots:

    void theWindowListsEachVersionAndRestoresTheChosenOne()
    {
        ProgramOnFolder p(dialogs, crlf({"ring", "gold|"}));
        p.folder.write("datalist.txt", crlf({" 2 ", "database", "database.txt", "armour", "armour.txt"}));
        p.folder.write("armour.txt", crlf({"helmet", "iron|"}));
        QVERIFY(p.program.addItem("axe", "").ok() && p.program.addItem("bow", "").ok());
        p.program.openCatalogue();
        QVERIFY(p.program.removeDatabase("armour").ok());

        windows::VersionsWindow window(p.program, dialogs);
        window.show();
        auto *list = window.findChild<QTreeWidget *>("versionList");
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("Add of axe"));
        QCOMPARE(list->topLevelItem(1)->text(2), QStringLiteral("1"));
        list->setCurrentItem(list->topLevelItem(1));
        QTest::mouseClick(window.findChild<QPushButton *>("restoreButton"), Qt::LeftButton);
        QCOMPARE(p.database(), crlf({"ring", "gold|"}));
        QCOMPARE(list->topLevelItemCount(), 3); // today's content was kept first
        QCOMPARE(p.listed(), QStringList{"ring"});

        // Shown again, only the version the restore kept is read to count its items.
        auto *databases = window.findChild<QComboBox *>("versionsOfBox");
        for (const int index : {1, 0, 1})
            databases->setCurrentIndex(index);
        QCOMPARE(p.program.versionFilesRead(), 4);
        QCOMPARE(databases->itemText(1), QStringLiteral("armour (removed)"));
        dialogs.expectMessage("The database armour is back in the catalogue.");
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(p.folder.read("armour.txt"), crlf({"helmet", "iron|"}));
        QCOMPARE(databases->count(), 1);

        // Removed again, but its file stayed (a removal killed half-way): it is offered back as such.
        QVERIFY(p.program.removeDatabase("armour").ok());
        p.folder.write("armour.txt", crlf({"helmet", "steel|"}));
        windows::VersionsWindow again(p.program, dialogs);
        databases = again.findChild<QComboBox *>("versionsOfBox");
        QCOMPARE(databases->itemText(1), QStringLiteral("armour (file still there, not in the catalogue)"));
        databases->setCurrentIndex(1);
        dialogs.expectMessage("The database armour is back in the catalogue.");
        QTest::mouseClick(again.findChild<QPushButton *>("restoreButton"), Qt::LeftButton);
        QCOMPARE(p.folder.read("armour.txt"), crlf({"helmet", "iron|"}));
        QCOMPARE(p.folder.read("datalist.txt"), crlf({" 2 ", "database", "database.txt", "armour", "armour.txt"}));
        QCOMPARE(history::VersionStore::read(p.program.versionsOf("armour.txt").first().version),
                 crlf({"helmet", "steel|"})); // what the file held was kept first
    }
};

QTEST_MAIN(VersionsWindowTest)
#include "versions_window_test.moc"
