#include "download/download_list.h"

#include "storage/text_file.h"

namespace download {

DownloadList parseDownloadList(const QByteArray &bytes)
{
    DownloadList list;
    storage::LineReader reader = storage::LineReader::fromBytes(bytes, QStringLiteral("downlist.txt"));
    if (reader.atEnd())
        return list;
    list.announced = qMax<qint64>(0, storage::leadingNumber(reader.readLine()));
    const qint64 wanted = qMin<qint64>(list.announced, DownloadList::kCapacity);
    while (list.names.size() < wanted && !reader.atEnd()) {
        const QString name = reader.readLine();
        if (reader.atEnd())
            break; // a name without its file name is no entry
        list.names.append(name);
        list.files.append(reader.readLine());
    }
    return list;
}

} // namespace download
