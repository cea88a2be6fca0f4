#pragma once

#include <QString>

namespace storage {

// Where the program keeps its data files, given the folder of its executable.
//
// A portable program keeps them beside the executable: that is the case when
// the executable's folder can be written and the program is not installed
// (scripts/run.sh puts the executable alone into ~/Gearledger). An installed
// program, or one whose folder cannot be written, keeps them in the user's
// data folder, which is created when missing: $XDG_DATA_HOME/Gearledger when
// XDG_DATA_HOME is an absolute path (a relative one is ignored, as the XDG
// rules say), else $HOME/.local/share/Gearledger.
//
// A program counts as installed when the metainfo file lies where the install
// puts it beside the executable: <prefix>/bin/gearledger and
// <prefix>/share/metainfo/<application id>.metainfo.xml. Writability alone
// cannot tell, since for root every folder can be written.
//
// Throws a Failure (75) when the user's data folder cannot be made, or when
// there is none: no XDG_DATA_HOME and no HOME that is an absolute path (the
// message says so). The user's data folder is always an absolute path.
QString chooseProgramFolder(const QString &executableFolder);

bool isInstalledProgram(const QString &executableFolder);

} // namespace storage
