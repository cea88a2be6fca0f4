#pragma once

#include <QString>

namespace base {

// The reverse-DNS name under which the desktop knows the program: its .desktop
// entry, its icon and its metainfo file are named after it.
QString applicationId();

// Names the program to Qt: "Gearledger" and the version that --version prints.
// No organisation name is set, so the user's folders of the program are
// ~/.local/share/Gearledger and ~/.cache/Gearledger. Call it before anything
// asks QStandardPaths for a folder.
void setProgramIdentity();

} // namespace base
