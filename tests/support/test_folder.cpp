#include "support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QTest>

TestFolder::TestFolder()
{
    if (!dir_.isValid())
        qFatal("cannot create a temporary folder");
}

void TestFolder::write(const QString &name, const QByteArray &bytes) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write a test file");
}

QByteArray TestFolder::read(const QString &name) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

QByteArray crlf(std::initializer_list<const char *> lines)
{
    QByteArray bytes;
    for (const char *line : lines)
        bytes += QByteArray(line) + "\r\n";
    return bytes;
}

QByteArray sampleItemBytes()
{
    return crlf({"small metallic ring",
                 "Weight 0, Item type: WORN |Item is: MAGIC |This item will also affect your ARMOR -3 and  INT +4. "
                 "|Estimated Value: 7 gold, 8 silver, and 4 copper|"});
}
