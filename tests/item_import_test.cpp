// The duplicate test of the import (the import window tests cover name
// cleaning and the reading of import files).
#include "editing/item_import.h"

#include <QTest>

class ItemImportTest : public QObject
{
    Q_OBJECT

private slots:
    void theDuplicateTestComparesExactlyAndCountsEmptySlots()
    {
        itemimport::NameTable names(2);
        QVERIFY(!names.isNew("")); // free slots hold the empty text
        names.add("ring");
        QVERIFY(!names.isNew("ring") && names.isNew("Ring") && names.isNew("ring "));
        names.add("sword");
        QVERIFY(names.isNew("")); // no slot is empty any more
        itemimport::NameTable withEmptyName(1);
        withEmptyName.add("");
        QVERIFY(!withEmptyName.isNew(""));
    }
};

QTEST_GUILESS_MAIN(ItemImportTest)
#include "item_import_test.moc"
