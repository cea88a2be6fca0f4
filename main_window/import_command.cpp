#include "main_window/import_command.h"

#include "base/dialogs.h"
#include "program/program.h"

#include <QDir>

namespace main_window {
namespace {

const QString kCheckTheFormat = QStringLiteral(
    "Before you proceed you should be sure that the file that you are about to insert is in the correct format.  "
    "A file not in the correct format can damage your database.  If you downloaded an update from Gearledger' web "
    "site the file should be fine.  View the readme.txt for more information on file formats.");
const QString kPrompt = QStringLiteral("Please type the full path of the file to insert into your database");
const QString kInputTitle = QStringLiteral("Insert From File");
const QString kUpdated = QStringLiteral("Your database has been updated successfully!");

// Tells why the import stopped. The database file was not rewritten, so the
// list shows it again in place of any half-done state.
void reportImportFailure(program::Program &program, base::Dialogs &dialogs, const base::Failure &failure)
{
    if (failure.isMissingFile()) {
        dialogs.message(QStringLiteral("Could not find the ") + program.currentDatabase().fileName
                        + QStringLiteral(" file; Please go and select another database, or create a new one."));
        return;
    }
    dialogs.message(failure.shortMessage());
    (void)program.listAll();
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

void runImport(program::Program &program, base::Dialogs &dialogs)
{
    dialogs.message(kCheckTheFormat);
    if (const base::Outcome listed = program.listAll(); listed.failure()) {
        reportImportFailure(program, dialogs, *listed.failure());
        return;
    }
    const QString path = dialogs.inputBox(kPrompt, kInputTitle, suggestedImportPath());
    if (path.isEmpty())
        return;
    const base::Outcome imported = program.importItems(path);
    if (imported.failure()) {
        reportImportFailure(program, dialogs, *imported.failure());
        return;
    }
    if (dialogs.report(imported))
        dialogs.message(kUpdated);
}

} // namespace main_window
