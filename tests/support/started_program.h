#pragma once

// A main window started on a fresh program folder, for the tests of the
// windows and operations that work on the current database.

#include "app/item_database.h"
#include "app/text_file.h"
#include "app/module1.h"
#include "main_window/form1.h"
#include "main_window/item_list_model.h"
#include "support/scripted_dialogs.h"
#include "support/test_folder.h"
#include "support/write_limit.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>

#include <memory>

struct StartedProgram
{
    TestFolder folder;
    Module1 state{folder.path()};
    std::unique_ptr<Form1> form;

    // pref.txt with the default colours and database.txt with the given bytes.
    StartedProgram(Dialogs &dialogs, const QByteArray &database)
    {
        folder.write(QStringLiteral("pref.txt"), " 0 \r\n 65280 \r\n 65280 \r\n");
        folder.write(QStringLiteral("database.txt"), database);
        form = std::make_unique<Form1>(state, dialogs);
        new QAbstractItemModelTester(form->listModel(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     form.get());
        form->startUp();
    }

    QByteArray database() const { return folder.read(QStringLiteral("database.txt")); }

    // The message shown when rewriting the current database fails while at
    // most `limit` bytes may be written, in the file layer's own words.
    QString failedRewriteMessage(rlim_t limit) const
    {
        const QByteArray bigger(int(limit) + 1, 'x');
        const WriteLimit full(limit);
        try {
            textfile::saveAtomically(state.currentDbPath(), bigger); // atomic: the file stays as it is
        } catch (const Failure &failure) {
            return failure.longMessage();
        }
        return QStringLiteral("<the write did not fail>");
    }
    QStringList listed() const { return form->listModel()->names(); }

    // Searches the list for the text as the search box and button do.
    void search(const QString &text)
    {
        form->Text2->setText(text);
        form->Command2_Click();
    }

    // Empty when the item table agrees with the database file: entry p shows
    // the name of the record it names, descs[p + 1] holds that record's
    // description, item_count counts the entries, later slots are empty and
    // the label counts the entries. Otherwise what disagrees.
    QString tableMismatch() const
    {
        const QVector<Item> items = itemdb::readItems(state.currentDbPath());
        const ItemListModel *model = form->listModel();
        if (form->item_count != model->rowCount())
            return QStringLiteral("item_count %1 but %2 entries").arg(form->item_count).arg(model->rowCount());
        for (int p = 0; p < model->rowCount(); ++p) {
            const int r = model->record(p);
            if (r < 0 || r >= items.size())
                return QStringLiteral("entry %1 names record %2 of %3").arg(p).arg(r).arg(items.size());
            if (!(items[r] == Item{model->name(p), form->descs.value(p + 1)}))
                return QStringLiteral("entry %1 differs from record %2").arg(p).arg(r);
        }
        for (int s = model->rowCount() + 1; s < form->descs.size(); ++s) {
            if (!form->descs[s].isEmpty())
                return QStringLiteral("slot %1 is not empty").arg(s);
        }
        const QString label = QString::number(model->rowCount()) + QStringLiteral(" items in ") + state.current_db_name;
        if (form->Label1->text() != label)
            return QStringLiteral("label \"%1\"").arg(form->Label1->text());
        return QString();
    }
};

#define VERIFY_TABLE(program) \
    do { \
        const QString mismatch = (program).tableMismatch(); \
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch)); \
    } while (false)
