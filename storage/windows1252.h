#pragma once

#include <QByteArray>
#include <QString>

// The data files hold one byte per character in Windows-1252. The conversion
// uses a table of our own so that every byte value reads and writes back
// unchanged: the five bytes that Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 control characters of the same value.
namespace storage {

QString decodeWindows1252(const QByteArray &bytes);

// Encodes text; returns false (and leaves *out unspecified) when a character
// has no Windows-1252 byte. *badChar then holds the first such character.
bool encodeWindows1252(const QString &text, QByteArray *out, QString *badChar = nullptr);

// True when every character of text can be written.
bool canEncodeWindows1252(const QString &text);

} // namespace storage
