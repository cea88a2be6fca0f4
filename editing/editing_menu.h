#pragma once

#include <QString>

class Form1;

// The main window's Item Editing menu and File > "&Add From File".

// Shows the "Add New Item" window (once; brought to the front when open).
void showAddItemWindow(Form1 &main);
// Opens the "Edit" window on the selected entry's record, or refills it.
void editCurrentItem(Form1 &main);
// Deletes the record the selected entry came from, without a question, and
// takes the entry out of the list in place.
void deleteCurrentItem(Form1 &main);
// Imports the items of a text file the user names into the current database.
void importFromFile(Form1 &main);

// After a change to the current database file: empties the list and the
// description view and lists the file again.
void relistAfterChange(Form1 &main);

// The import file the input box suggests.
QString suggestedImportPath();
