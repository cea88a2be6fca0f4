#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A fresh, empty program folder for one test, removed afterwards.
class TestFolder
{
public:
    TestFolder();

    QString path() const { return dir_.path(); }
    QString file(const QString &name) const { return dir_.filePath(name); }

    void write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;
    bool exists(const QString &name) const { return QFile::exists(file(name)); }

private:
    QTemporaryDir dir_;
};

// The bytes of lines joined with CR LF after each: crlf({"a", "b"}) is "a\r\nb\r\n".
QByteArray crlf(std::initializer_list<const char *> lines);

// The two lines of the sample item.
QByteArray sampleItemBytes();
