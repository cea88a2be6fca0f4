#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace download {

// The on-line list of downloadable databases (downlist.txt on the server):
// line 1 the number of entries, then for each entry its display name and its
// file name in the server's download folder. Lines after the announced
// entries are ignored.
struct DownloadList
{
    // The most entries the download window holds.
    static constexpr int kCapacity = 1000;

    QStringList names;
    QStringList files;
    // The count of line 1 (a line that does not start with a number counts as 0).
    qint64 announced = 0;

    // The list ends before the entries it announces (up to kCapacity).
    bool isShort() const { return names.size() < qMin<qint64>(announced, kCapacity); }
    // The list announces more entries than the window holds.
    bool isOverCapacity() const { return announced > kCapacity; }
};

// Reads a list. A list that ends before its announced count yields the whole
// entries it holds; more than kCapacity entries yield the first kCapacity.
DownloadList parseDownloadList(const QByteArray &bytes);

} // namespace download
