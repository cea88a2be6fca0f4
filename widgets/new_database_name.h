#pragma once

#include "base/dialogs.h"

#include <QString>

namespace widgets {

// Asks the user for the name of a new database; the empty text when the user
// cancels or clears the box.
inline QString askForNewDatabaseName(base::Dialogs &dialogs)
{
    return dialogs.inputBox(
        QStringLiteral("Please enter a name for your new database. (Do not use symbols, only letters and numbers)"),
        QStringLiteral("New database"), QStringLiteral("mydatabase"));
}

} // namespace widgets
