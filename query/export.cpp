#include "query/export.h"

#include "fields/field_store.h"

#include <cmath>

namespace query {
namespace {

QString cellOf(const QStringList &row, qsizetype column)
{
    return column < row.size() ? row[column] : QString();
}

QString csvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QByteArray csvLine(const QStringList &cells, qsizetype width)
{
    QStringList fieldsOfLine;
    for (qsizetype column = 0; column < width; ++column)
        fieldsOfLine.append(csvField(cellOf(cells, column)));
    return fieldsOfLine.join(u',').toUtf8() + "\r\n";
}

QString jsonString(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': out += QStringLiteral("\\\""); break;
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + u'"';
}

// The cell as fields write numbers, read back to the same text.
bool isNumberCell(const QString &cell)
{
    bool ok = false;
    const double value = cell.toDouble(&ok);
    return ok && std::isfinite(value) && fields::numberText(value) == cell;
}

QString jsonObject(const QStringList &columns, const QStringList &row)
{
    QStringList members;
    for (qsizetype column = 0; column < columns.size(); ++column) {
        const QString cell = cellOf(row, column);
        if (cell.isEmpty())
            continue;
        members.append(jsonString(columns[column]) + QStringLiteral(": ")
                       + (isNumberCell(cell) ? cell : jsonString(cell)));
    }
    return u'{' + members.join(QStringLiteral(", ")) + u'}';
}

} // namespace

QByteArray toCsv(const ExportTable &table)
{
    const qsizetype width = table.columns.size();
    QByteArray bytes = csvLine(table.columns, width);
    for (const QStringList &row : table.rows)
        bytes += csvLine(row, width);
    return bytes;
}

QByteArray toJson(const ExportTable &table)
{
    QStringList objects;
    for (const QStringList &row : table.rows)
        objects.append(QStringLiteral("  ") + jsonObject(table.columns, row));
    if (objects.isEmpty())
        return "[]\n";
    return (QStringLiteral("[\n") + objects.join(QStringLiteral(",\n")) + QStringLiteral("\n]\n")).toUtf8();
}

QByteArray exportBytes(const ExportTable &table, const QString &fileName)
{
    return fileName.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive) ? toJson(table) : toCsv(table);
}

} // namespace query
