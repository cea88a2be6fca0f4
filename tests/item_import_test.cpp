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
        QVERIFY(!names.isNew(QString())); // free slots hold the empty text
        names.add(QByteArray("ring"));
        QVERIFY(!names.isNew(QByteArray("ring")) && names.isNew(QString("Ring")) && names.isNew(QString("ring ")));
        names.add(QString("sword"));
        QVERIFY(names.isNew(QString())); // no slot is empty any more
        itemimport::NameTable withEmptyName(1);
        withEmptyName.add(QString());
        QVERIFY(!withEmptyName.isNew(QString()));
    }
};

QTEST_GUILESS_MAIN(ItemImportTest)
#include "item_import_test.moc"
