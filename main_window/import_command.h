#pragma once

#include "base/dialogs.h"
#include "program/program.h"

#include <QString>

namespace main_window {

// File > "Add From File": after a word on the file format, the current
// database is listed again, the user names a text file of records, and its new
// items are added at the end of the current database. Failures are told in the
// import's own words.
void runImport(program::Program &program, base::Dialogs &dialogs);

// The import file the input box suggests.
QString suggestedImportPath();

} // namespace main_window
