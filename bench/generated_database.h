#pragma once

#include <QByteArray>

// Databases of invented but realistic items for the benchmark, the same bytes
// for the same seed on every machine. Names are 10 to 40 characters; a
// description is 3 to 8 lines of 30 to 70 characters, each starting with a
// capital letter as game output does, stored joined by "|" with a final "|".
// A little of the text is Windows-1252 beyond ASCII (é, ü, Œ, €). 10000 items
// make about 2 MB.
namespace bench {

QByteArray generatedDatabase(int items, unsigned seed = 1);

// A game log of at least `bytes` bytes, as a client records a session: the
// items of generatedDatabase(10000, seed), in turn, each in an identify block
// ("Object 'NAME' is type ..., extra flags ..." and its description lines,
// then an empty line), with colour escapes, and lines of chatter (prompts,
// tells, combat, channels) between the blocks. A third of the blocks are in
// UTF-8, the rest in Windows-1252; lines end in CR LF.
QByteArray generatedGameLog(qsizetype bytes, unsigned seed = 1);

// Search texts whose hits are few (under 1 %) or many (over a third of the
// items), in names and in descriptions. They are ASCII, so that SQLite's LIKE
// finds the same items as the program's search.
inline constexpr const char *kFewInNames = "dragon";
inline constexpr const char *kManyInNames = "the";
inline constexpr const char *kFewInDescriptions = "cursed";
inline constexpr const char *kManyInDescriptions = "weight";

} // namespace bench
