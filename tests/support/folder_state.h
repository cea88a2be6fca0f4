#pragma once

#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QString>

// Every file below a folder, by its path inside the folder, with its bytes. The
// editing windows' scratch file is left out: it holds the last text typed,
// whether or not the change that followed went through.
inline QMap<QString, QByteArray> folderState(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString inside = path.mid(folder.size() + 1);
        if (inside == QStringLiteral("42198739.txt"))
            continue;
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files.insert(inside, file.readAll());
    }
    return files;
}
