#pragma once

#include "base/dialogs.h"

#include <QString>

class Program;

// File > "Add From File": after a word on the file format, the current
// database is listed again, the user names a text file of records, and its new
// items are added at the end of the current database. Failures are told in the
// import's own words.
void runImport(Program &program, base::Dialogs &dialogs);

// The import file the input box suggests.
QString suggestedImportPath();
