#include "catalogue/new_database_name.h"

#include "catalogue/catalogue_file.h"
#include "storage/data_folder.h"
#include "storage/windows1252.h"

#include <QFileInfo>

namespace catalogue {
namespace {

bool hasControlCharacter(const QString &name)
{
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

// The first character of text that Windows-1252 cannot hold (a surrogate pair whole).
QString firstUnwritable(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        if (!storage::canEncodeWindows1252(character))
            return character;
        i += length - 1;
    }
    return QString();
}

} // namespace

std::optional<QString> whyNewNameIsRefused(const QString &name, const Catalogue &catalogue,
                                           const storage::DataFolder &folder, bool fileMayExist)
{
    if (!catalogue.complete)
        return QStringLiteral("The catalogue file %1 could not be read in full, so no database can be added to it. "
                              "Please correct the file and open this window again.")
            .arg(storage::kCatalogueFile);
    if (catalogue.isFull())
        return QStringLiteral("The catalogue already holds %1 databases, the most it can keep. "
                              "Please remove a database before creating a new one.")
            .arg(kMaxEntries);
    if (hasControlCharacter(name))
        return QStringLiteral("A database name cannot contain control characters such as tabs or line breaks. "
                              "Please choose another name.");
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return QStringLiteral("A database name cannot contain \"/\" or \"\\\". Please choose another name.");
    if (name.contains(QStringLiteral("..")))
        return QStringLiteral("A database name cannot contain \"..\". Please choose another name.");
    const QString unwritable = firstUnwritable(name);
    if (!unwritable.isEmpty())
        return QStringLiteral("A database name cannot contain the character \"%1\", which the program's files cannot "
                              "hold. Please choose another name.")
            .arg(unwritable);
    const QString fileName = databaseFileFor(name);
    if (storage::isProgramFile(fileName))
        return QStringLiteral("The name \"%1\" would overwrite the program's own file %2. Please choose another name.")
            .arg(name, fileName);
    if (catalogue.lastIndexOfName(name) >= 0)
        return QStringLiteral("There is already a database named \"%1\". Please choose another name.").arg(name);
    const QFileInfo file(folder.file(fileName));
    if (catalogue.lastIndexOfFile(fileName) >= 0 || (!fileMayExist && (file.exists() || file.isSymLink())))
        return QStringLiteral("A file named %1 already exists in the program folder. Please choose another name.")
            .arg(fileName);
    return std::nullopt;
}

} // namespace catalogue
