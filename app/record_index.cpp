#include "app/record_index.h"

#include "app/text_file.h"

#include <cstring>

namespace recordindex {

Span lineAt(const QByteArray &bytes, qsizetype from, qsizetype *next)
{
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    const void *cr = std::memchr(data + from, '\r', size_t(size - from));
    if (!cr) {
        *next = size;
        return {from, size - from};
    }
    const qsizetype end = static_cast<const char *>(cr) - data;
    qsizetype after = end + 1;
    if (after < size && data[after] == '\n')
        ++after;
    *next = after;
    return {from, end - from};
}

Index indexRecords(const QByteArray &bytes)
{
    Index index;
    const qsizetype size = bytes.size();
    qsizetype pos = 0;
    while (pos < size) {
        Record record;
        record.name = lineAt(bytes, pos, &pos);
        if (pos >= size) {
            index.danglingName = record.name;
            break;
        }
        record.description = lineAt(bytes, pos, &pos);
        index.records.append(record);
    }
    return index;
}

Failure danglingNameFailure(const Index &index, const QString &fileName)
{
    return Failure(ErrInputPastEndOfFile,
                   QStringLiteral("Input past end of file (%1, after line %2)")
                       .arg(fileName)
                       .arg(index.records.size() * 2 + 1),
                   textfile::kSource);
}

} // namespace recordindex
