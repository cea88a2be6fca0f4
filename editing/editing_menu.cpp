#include "editing/editing_menu.h"

#include "app/dialogs.h"
#include "app/failure.h"
#include "app/module1.h"
#include "editing/form2.h"
#include "editing/form4.h"
#include "editing/record_edit.h"
#include "main_window/form1.h"
#include "main_window/item_list_model.h"

#include <QLabel>
#include <QPlainTextEdit>

namespace {

const QString kNoSelection = QStringLiteral("No item is selected!");
const QString kDeleteRecordChanged = QStringLiteral(
    "The selected item is no longer at its place in the database file: the file has been changed since the list "
    "was filled.  Nothing was deleted.  Press Show All and select the item again.");

// The item the list entry at a position shows: its name and stored description.
Item entryItem(Form1 &main, int row)
{
    return {main.listModel()->name(row), main.descs.value(row + 1)};
}

} // namespace

void relistAfterChange(Form1 &main)
{
    main.listModel()->clear();
    main.Text1->clear();
    main.list_all();
}

void showAddItemWindow(Form1 &main)
{
    main.windows().show<Form4>([&main] { return new Form4(main); });
}

void editCurrentItem(Form1 &main)
{
    const int row = main.selectedIndex();
    if (row < 0) {
        main.dialogs().message(kNoSelection);
        return;
    }
    const Item item = entryItem(main, row);
    const int record = main.listModel()->record(row);
    Form2 *editor = main.windows().show<Form2>([&main] { return new Form2(main); });
    editor->fill(record, item);
}

void deleteCurrentItem(Form1 &main)
{
    const int row = main.selectedIndex();
    if (row < 0) {
        main.dialogs().message(kNoSelection);
        return;
    }
    ItemListModel *model = main.listModel();
    try {
        if (recordedit::removeRecord(main.state().currentDbPath(), model->record(row), entryItem(main, row))
            == recordedit::Outcome::RecordChanged) {
            main.dialogs().message(kDeleteRecordChanged);
            return;
        }
    } catch (const Failure &failure) {
        main.reportFailure(failure);
        return;
    }
    // The file lost exactly that record: the table loses exactly its entry,
    // and the descriptions of the entries after it move up one slot.
    if (row < main.item_count) {
        main.descs.remove(row + 1);
        main.descs.append(QString());
        --main.item_count;
    }
    model->removeDeletedRecord(row);
    // The list moves its selection on to the next entry; drop it, so that
    // another Delete does not take an item the user never chose.
    main.selectIndex(-1);
    main.Label1->setText(QString::number(model->rowCount()) + QStringLiteral(" items in ")
                         + main.state().current_db_name);
    main.Text1->clear();
}
