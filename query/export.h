#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The rows of a results table as a file for a spreadsheet or a script.
namespace query {

// A table to export: column titles and rows of cells (one string per column).
// A row with fewer cells than columns has empty cells at its end; cells past
// the last column are not written.
struct ExportTable
{
    QStringList columns;
    QVector<QStringList> rows;
};

// RFC 4180 CSV in UTF-8 (no byte order mark): a header row, then one line per
// row; a field is quoted when it holds a comma, a quote or a line break (CR or
// LF, kept as they are inside the quotes), its quotes doubled; lines end with CR LF.
QByteArray toCsv(const ExportTable &table);

// A JSON array (UTF-8) of one object per row, keys the column titles in order;
// a cell that reads wholly as a number, written as fields write numbers
// ("18", "-3", "10.5"), is written as a JSON number, so that
// fields::numberText of the value read back gives the cell again; every other
// cell is a string; an empty cell is left out.
QByteArray toJson(const ExportTable &table);

// toCsv or toJson by the file name's ending (".json", case-insensitive, is JSON; else CSV).
QByteArray exportBytes(const ExportTable &table, const QString &fileName);

} // namespace query
