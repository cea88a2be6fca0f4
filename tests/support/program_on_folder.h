#pragma once

// A program object started on a fresh program folder, for the tests of the
// operations and windows that work on the current database.

#include "program/program.h"
#include "storage/item_database.h"
#include "support/scripted_dialogs.h"
#include "support/test_folder.h"

#include <QAbstractItemModelTester>

struct ProgramOnFolder
{
    TestFolder folder;
    program::Program program{folder.path()};
    QAbstractItemModelTester tester{program.itemTable(), QAbstractItemModelTester::FailureReportingMode::QtTest};

    // pref.txt with the default colours and database.txt with the given bytes, then start-up.
    ProgramOnFolder(base::Dialogs &dialogs, const QByteArray &database)
    {
        folder.write(QStringLiteral("pref.txt"), " 0 \r\n 65280 \r\n 65280 \r\n");
        folder.write(QStringLiteral("database.txt"), database);
        (void)program.startUp(dialogs, {});
    }

    QByteArray database() const { return folder.read(QStringLiteral("database.txt")); }

    QStringList listed() const
    {
        QStringList names;
        for (int row = 0; row < program.items().rowCount(); ++row)
            names.append(program.items().name(row));
        return names;
    }

    // Empty when every entry of the item table shows the record it names in
    // the current database file; otherwise what disagrees.
    QString tableMismatch() const
    {
        const QVector<storage::Item> items = storage::readItems(program.currentDatabasePath());
        const program::ItemTable &table = program.items();
        for (int row = 0; row < table.rowCount(); ++row) {
            const int r = table.record(row);
            if (r < 0 || r >= items.size() || !(items[r] == table.item(row)))
                return QStringLiteral("entry %1 differs from record %2").arg(row).arg(r);
        }
        return QString();
    }
};

#define VERIFY_TABLE(p) \
    do { \
        const QString mismatch = (p).tableMismatch(); \
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch)); \
    } while (false)
