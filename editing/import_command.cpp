#include "app/dialogs.h"
#include "app/failure.h"
#include "app/module1.h"
#include "app/text_file.h"
#include "editing/editing_menu.h"
#include "editing/item_import.h"
#include "main_window/form1.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

namespace {

const QString kCheckTheFormat = QStringLiteral(
    "Before you proceed you should be sure that the file that you are about to insert is in the correct format.  "
    "A file not in the correct format can damage your database.  If you downloaded an update from Gearledger' web "
    "site the file should be fine.  View the readme.txt for more information on file formats.");
const QString kPrompt = QStringLiteral("Please type the full path of the file to insert into your database");
const QString kInputTitle = QStringLiteral("Insert From File");
const QString kNoSuchFile = QStringLiteral("Could not find the file: ");
const QString kUpdated = QStringLiteral("Your database has been updated successfully!");

// Shows why the import stopped. The database file was not rewritten, so the
// list is filled from it again in place of any half-done state.
void reportImportFailure(Form1 &main, const Failure &failure)
{
    if (failure.number() == ErrFileNotFound) {
        main.dialogs().message(QStringLiteral("Could not find the ") + main.state().current_db_file
                               + QStringLiteral(" file; Please go and select another database, or create a new one."));
        return;
    }
    main.dialogs().message(failure.shortMessage());
    main.reloadTable();
}

} // namespace

QString suggestedImportPath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\insert.txt");
#else
    return QDir::homePath() + QStringLiteral("/insert.txt");
#endif
}

void importFromFile(Form1 &main)
{
    Dialogs &dialogs = main.dialogs();
    dialogs.message(kCheckTheFormat);
    try {
        if (const std::optional<Failure> failure = main.reloadTable())
            throw *failure;
        const QString path = dialogs.inputBox(kPrompt, kInputTitle, suggestedImportPath());
        if (path.isEmpty())
            return;
        std::optional<textfile::LineReader> importFile;
        if (QFileInfo(path).isFile()) {
            try {
                importFile.emplace(path);
            } catch (const Failure &failure) {
                if (failure.number() != ErrFileNotFound)
                    throw;
            }
        }
        if (!importFile) {
            dialogs.message(kNoSuchFile + path);
            return;
        }
        itemimport::importItems(main.state().currentDbPath(), std::move(*importFile));
    } catch (const Failure &failure) {
        reportImportFailure(main, failure);
        return;
    }
    main.list_all();
    dialogs.message(kUpdated);
}
