#pragma once

#include <QByteArray>
#include <QVector>

// Databases whose descriptions are identify output, for the fields and query
// benchmarks: the same bytes for the same seed on every machine. Each item's
// description is one of the formats the default rules read: the sample
// format ("Weight 9, Item type: WEAPON |Item is: MAGIC GLOW |This item will
// also affect your ARMOR -4 and  CON +1. |Estimated Value: 7 gold, ...|"),
// Diku/ROM identify lines ("Object '...' is type armor, extra flags glow
// hum.|Weight 4, value 310, level 18.|Affects hitroll by 2.|..."), or a Name:
// block ("Level: 12|Wear: finger|Hitroll: +3|..."), half of them with a line of lore.
// 10 databases of 10000 items make about 22 MB.
namespace bench {

QVector<QByteArray> identifyDatabases(int databases, int items, unsigned seed = 1);

// The three-term query of the benchmark and its SQL peer's conditions.
inline constexpr const char *kThreeTermQuery = "ring level<=40 flags:magic";

} // namespace bench
