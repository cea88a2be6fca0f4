// Operations that rewrite the database file through the safe save, so their
// wall time holds a disk sync; the CPU time beside it is the program's part.
//   op/import/overlapping/<items>  importing a file into a database
//   op/merge/overlapping/<items>   merging a download into a database
// The database holds the first half of the generated items, the incoming file
// every other item of the whole: about half of it is already in the database
// (the import cleans names, so it takes in more).
#include "app/cp1252.h"
#include "app/record_index.h"
#include "app/text_file.h"
#include "bench/bench_support.h"
#include "catalogue/download_merge.h"
#include "editing/item_import.h"

using namespace benchsupport;

namespace {

struct Halves
{
    QByteArray kept;
    QVector<Item> incoming;
};

Halves halvesOf(int items)
{
    const QByteArray &bytes = database(items);
    const recordindex::Index index = recordindex::indexRecords(bytes);
    const auto text = [&](const recordindex::Span &span) { return cp1252::decode(bytes.mid(span.begin, span.length)); };
    Halves halves;
    halves.kept = bytes.left(index.records[index.records.size() / 2].name.begin);
    for (int r = 0; r < index.records.size(); r += 2)
        halves.incoming.append({text(index.records[r].name), text(index.records[r].description)});
    return halves;
}

} // namespace

void addFileOperationBenchmarks(int items)
{
    const std::string n = std::to_string(items);
    add("op/import/overlapping/" + n, [items](benchmark::State &state) {
        const Halves halves = halvesOf(items);
        // An import file holds the name, the description's lines, and an empty line.
        QStringList lines;
        for (const Item &item : halves.incoming)
            lines << item.name << item.description.chopped(1).split('|') << QString();
        const QString db = scratchFile("import_target.txt");
        const QString source = scratchFile("import_source.txt");
        textfile::saveAtomically(source, textfile::encodeLines(lines));
        qsizetype added = 0;
        for (auto _ : state) {
            state.PauseTiming();
            textfile::saveAtomically(db, halves.kept);
            state.ResumeTiming();
            added = itemimport::importItems(db, textfile::LineReader(source)).size();
        }
        state.counters["added"] = double(added);
    });
    add("op/merge/overlapping/" + n, [items](benchmark::State &state) {
        const Halves halves = halvesOf(items);
        const QString db = scratchFile("merge_target.txt");
        const QString download = scratchFile("tmp94838.txt");
        textfile::saveAtomically(download, itemdb::encodeItems(halves.incoming) + "\r\n");
        int taken = 0;
        for (auto _ : state) {
            state.PauseTiming();
            textfile::saveAtomically(db, halves.kept);
            state.ResumeTiming();
            taken = downloadmerge::mergeInto(db, textfile::readAll(download));
        }
        state.counters["taken"] = taken;
    });
}
