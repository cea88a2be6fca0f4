#pragma once

#include "storage/data_folder.h"

#include <QString>

#include <optional>

namespace catalogue {

struct Catalogue;

// Why a typed name cannot become a new database (display name `name`, file
// name + ".txt" in the program folder), as the message to show; nothing when
// the name is fine. The empty name is the caller's business: it means "stop".
//
// Refused, in this order: a catalogue that was not read in full (rewriting it
// would lose the entries not read) or that already holds 50 entries; a control
// character; "/" or "\"; ".."; a character that Windows-1252 cannot hold; a
// name whose file would be one of the program's own files (datalist.txt,
// pref.txt, 42198739.txt, in any letter case); a display name the catalogue
// already has (exact); a file name the catalogue already has, or a file that
// already exists in the program folder (unless fileMayExist: the file of a
// database coming back into the catalogue). Every other character passes.
std::optional<QString> whyNewNameIsRefused(const QString &name, const Catalogue &catalogue,
                                           const storage::DataFolder &folder, bool fileMayExist = false);

} // namespace catalogue
