// Prints the program folder that the program would choose if its executable
// lay in the folder given: the install test runs it on an installed prefix.
#include "base/failure.h"
#include "base/program_identity.h"
#include "storage/program_folder.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    base::setProgramIdentity();
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: print_program_folder EXECUTABLE_FOLDER\n");
        return 2;
    }
    try {
        std::printf("%s\n", qPrintable(storage::chooseProgramFolder(QString::fromLocal8Bit(argv[1]))));
    } catch (const base::Failure &failure) {
        std::fprintf(stderr, "%s\n", qPrintable(failure.longMessage()));
        return 1;
    }
    return 0;
}
