// Finding an item in game output (all shapes made up for this test), and the
// text Copy Item puts out coming back as the same item.
#include "editing/identify_text.h"

#include <QMimeData>
#include <QTest>

using editing::identifiedItemFromText;

class IdentifyTextTest : public QObject
{
    Q_OBJECT

private slots:
    void theNameIsFoundInEachCommonShapeWithAndWithoutColours()
    {
        struct Shape
        {
            const char *text;
            QString name;
            QStringList description;
        };
        const QString objectLine = "Object 'sword long' is type weapon, extra flags glow.";
        const Shape shapes[] = {
            {"You feel informed:\nObject 'sword long' is type weapon, extra flags glow.\nWeight is 10.\n", "sword long",
             {"You feel informed:", objectLine, "Weight is 10."}},
            {"\x1b[1;36mYou feel informed:\x1b[0m\r\n\x1b[36mObject '\x1b[33msword long\x1b[36m' is type weapon, extra "
             "flags glow.\x1b[0m\r\nWeight is \x1b[1m10\x1b[0m.\x1b[2 /K\r\n\r\n",
             "sword long", {"You feel informed:", objectLine, "Weight is 10."}},
            {"Object \"Ogre's club\", Item type: WEAPON\n\tWeight: 12\tValue: 40  \n", "Ogre's club",
             {"Object \"Ogre's club\", Item type: WEAPON", "        Weight: 12      Value: 40"}},
            {"\r\n--- Identify ---\r\n  Name:  Vorpal Blade \r\nType: sword\r\n\r\nBound\r\n\r\n", "Vorpal Blade",
             {"--- Identify ---", "Type: sword", "", "Bound"}},
            {"\n\r  \x1b[32msmall metallic ring\x1b[0m  \n\rWeight 0\n\rItem is: MAGIC\rEnd", "small metallic ring",
             {"Weight 0", "Item is: MAGIC", "End"}},
        };
        for (const Shape &shape : shapes) {
            const std::optional<editing::IdentifiedItem> found =
                identifiedItemFromText(QString::fromLatin1(shape.text));
            QVERIFY2(found, shape.text);
            QCOMPARE(found->name, shape.name);
            QCOMPARE(found->descriptionLines, shape.description);
        }
        QVERIFY(!identifiedItemFromText(QString::fromLatin1("\x1b[0m  \n\t\r\n")));
        QVERIFY(!identifiedItemFromText(QString()));
    }

    void copiedTextComesBackAsTheSameItem()
    {
        const storage::Item items[] = {
            {"sword long", "Object 'sword long' is type weapon.|Weight 10||Worth: \u00E9p\u00E9e|"},
            {"The Name: Ring", "|  indented|"},
            {"axe", "|"}};
        for (const storage::Item &item : items) {
            const QString text = editing::itemAsText(item);
            const std::optional<editing::IdentifiedItem> found = identifiedItemFromText(text);
            QVERIFY2(found, qPrintable(text));
            QCOMPARE(found->name, item.name);
            QCOMPARE(editing::storedDescription(found->descriptionLines), item.description);
        }
    }

    // The program's own copy is taken only when it is well formed (else the
    // text is read); a name longer than its box is refused.
    void thePasteTakesTheProgramsOwnCopyOnlyWhenWellFormed()
    {
        QMimeData data;
        data.setText("x\nName: y");
        QString refusal;
        for (const char *malformed : {"x", "x\ny\nz", "x\ry\n", "x\n\xFF"}) {
            data.setData(editing::kItemMimeType, malformed);
            QCOMPARE(editing::pastedItem(&data, &refusal), storage::Item({"y", "x|"}));
        }
        data.setText(QString(32768, 'n'));
        QVERIFY(!editing::pastedItem(&data, &refusal));
        QCOMPARE(refusal, "The name on the clipboard is longer than the 32767 characters an item's name can have here."
                          "  Nothing was pasted.");
    }
};

QTEST_GUILESS_MAIN(IdentifyTextTest)
#include "identify_text_test.moc"
