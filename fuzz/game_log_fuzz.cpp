// Harvesting a game log (the input is the log; its first byte also chooses
// where the log is cut into pieces): the items found do not depend on how the
// log arrives in pieces, every item found has a name or a description, and the
// blocks counted hold at least the items found.
#include "editing/game_log.h"
#include "fuzz_check.h"

#include <algorithm>

namespace {

QVector<editing::FoundItem> harvested(const QByteArray &log, qsizetype pieceSize, qsizetype *blocks)
{
    editing::Harvester harvester(editing::kDefaultBlockStart);
    for (qsizetype at = 0; at < log.size(); at += pieceSize)
        harvester.feed(QByteArrayView(log).sliced(at, qMin(pieceSize, log.size() - at)));
    harvester.finish();
    *blocks = harvester.blocks();
    return harvester.found();
}

bool sameItems(const QVector<editing::FoundItem> &a, const QVector<editing::FoundItem> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto &x, const auto &y) {
        return x.item == y.item && x.timesFound == y.timesFound && x.writable == y.writable;
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray log = fuzzBytes(data, size);
    qsizetype wholeBlocks = 0;
    qsizetype pieceBlocks = 0;
    const QVector<editing::FoundItem> whole = harvested(log, qMax<qsizetype>(1, log.size()), &wholeBlocks);
    const qsizetype pieceSize = size > 0 ? 1 + data[0] % 7 : 1;
    const QVector<editing::FoundItem> inPieces = harvested(log, pieceSize, &pieceBlocks);
    FUZZ_CHECK(sameItems(whole, inPieces) && wholeBlocks == pieceBlocks);
    qsizetype times = 0;
    for (const editing::FoundItem &found : whole)
        times += found.timesFound;
    FUZZ_CHECK(times <= wholeBlocks);
    return 0;
}
