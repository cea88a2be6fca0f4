#include "editing/identify_text.h"

#include <QMimeData>
#include <QStringDecoder>

namespace editing {
namespace {

constexpr char16_t kEscape = 0x1B;
constexpr int kTabWidth = 8;

bool isEnd(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

QString withoutTrailingBlanks(QString line)
{
    qsizetype end = line.size();
    while (end > 0 && line[end - 1].isSpace())
        --end;
    line.truncate(end);
    return line;
}

// Where the escape sequence ESC [ parameters intermediates final, starting at
// `at`, ends; `at` itself when none starts there.
qsizetype escapeEnd(QStringView line, qsizetype at)
{
    if (line[at] != kEscape || at + 1 >= line.size() || line[at + 1] != QLatin1Char('['))
        return at;
    qsizetype i = at + 2;
    while (i < line.size() && line[i].unicode() >= 0x30 && line[i].unicode() <= 0x3F)
        ++i;
    while (i < line.size() && line[i].unicode() >= 0x20 && line[i].unicode() <= 0x2F)
        ++i;
    if (i < line.size() && line[i].unicode() >= 0x40 && line[i].unicode() <= 0x7E)
        ++i;
    return i;
}

std::optional<QString> objectName(const QString &line)
{
    static const QString kOpenings[] = {QStringLiteral("Object '"), QStringLiteral("Object \"")};
    for (const QString &opening : kOpenings) {
        const qsizetype at = line.indexOf(opening);
        if (at < 0)
            continue;
        const qsizetype from = at + opening.size();
        const QChar quote = opening.back();
        qsizetype close = line.indexOf(QString(quote) + QStringLiteral(" is"), from);
        for (qsizetype i = from; close < 0 && i < line.size(); ++i) {
            if (line[i] == quote && (i + 1 == line.size() || !line[i + 1].isLetterOrNumber()))
                close = i;
        }
        const QString name = close < 0 ? QString() : line.mid(from, close - from).trimmed();
        if (!name.isEmpty())
            return name;
    }
    return std::nullopt;
}

// The item of a kItemMimeType content: exactly one line break, between the
// name and the stored description, in valid UTF-8.
std::optional<storage::Item> copiedItem(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    const qsizetype lineBreak = text.indexOf(QLatin1Char('\n'));
    if (utf8.hasError() || lineBreak < 0 || text.indexOf(QLatin1Char('\n'), lineBreak + 1) >= 0
        || text.contains(QLatin1Char('\r')))
        return std::nullopt;
    return storage::Item{text.left(lineBreak), text.mid(lineBreak + 1)};
}

std::optional<storage::Item> foundInText(const QString &text)
{
    const std::optional<IdentifiedItem> found = identifiedItemFromText(text);
    if (!found)
        return std::nullopt;
    return storage::Item{found->name, storedDescription(found->descriptionLines)};
}

// The item of the program's own copy, else the one found in the text;
// nothing, and *tooLong, for more than kPasteLimit characters.
std::optional<storage::Item> itemOnClipboard(const QMimeData &clipboard, bool *tooLong)
{
    if (clipboard.hasFormat(kItemMimeType)) {
        const QByteArray copied = clipboard.data(kItemMimeType);
        // UTF-8 takes at most three bytes for a character of a QString.
        const bool tooManyBytes = copied.size() > 3 * kPasteLimit;
        const std::optional<storage::Item> item = tooManyBytes ? std::nullopt : copiedItem(copied);
        *tooLong = tooManyBytes || (item && item->name.size() + item->description.size() > kPasteLimit);
        if (*tooLong || item)
            return *tooLong ? std::nullopt : item;
    }
    if (!clipboard.hasText())
        return std::nullopt;
    const QString text = clipboard.text();
    *tooLong = text.size() > kPasteLimit;
    return *tooLong ? std::nullopt : foundInText(text);
}

std::optional<QString> labelledName(const QString &line)
{
    static const QString kLabel = QStringLiteral("Name:");
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(kLabel))
        return std::nullopt;
    const QString name = trimmed.mid(kLabel.size()).trimmed();
    return name.isEmpty() ? std::nullopt : std::optional<QString>(name);
}

} // namespace

QString cleanedLine(QStringView line)
{
    if (!line.contains(QChar(kEscape)) && !line.contains(QLatin1Char('\t')))
        return withoutTrailingBlanks(line.toString());
    QString cleaned;
    cleaned.reserve(line.size());
    for (qsizetype i = 0; i < line.size();) {
        if (const qsizetype end = escapeEnd(line, i); end > i) {
            i = end;
        } else if (line[i] == QLatin1Char('\t')) {
            cleaned.append(QString(kTabWidth - cleaned.size() % kTabWidth, QLatin1Char(' ')));
            ++i;
        } else {
            cleaned.append(line[i++]);
        }
    }
    return withoutTrailingBlanks(std::move(cleaned));
}

QStringList cleanedLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size();) {
        if (i < text.size() && !isEnd(text[i])) {
            ++i;
            continue;
        }
        lines.append(cleanedLine(text.mid(start, i - start)));
        // A pair of different line-end characters is one line end.
        if (i + 1 < text.size() && isEnd(text[i + 1]) && text[i + 1] != text[i])
            ++i;
        start = ++i;
    }
    while (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    while (!lines.isEmpty() && lines.front().isEmpty())
        lines.removeFirst();
    return lines;
}

std::optional<IdentifiedItem> findIdentifiedItem(const QStringList &lines)
{
    for (const QString &line : lines) {
        if (const std::optional<QString> name = objectName(line)) {
            IdentifiedItem found{*name, lines};
            if (found.descriptionLines.front().trimmed() == *name)
                found.descriptionLines.removeFirst();
            return found;
        }
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const std::optional<QString> name = labelledName(lines[i])) {
            IdentifiedItem found{*name, lines};
            found.descriptionLines.removeAt(i);
            return found;
        }
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const QString name = lines[i].trimmed(); !name.isEmpty())
            return IdentifiedItem{name, lines.mid(i + 1)};
    }
    return std::nullopt;
}

std::optional<IdentifiedItem> identifiedItemFromText(QStringView text)
{
    return findIdentifiedItem(cleanedLines(text));
}

QString storedDescription(const QStringList &lines)
{
    if (lines.isEmpty())
        return QStringLiteral("|");
    QString stored;
    for (const QString &line : lines) {
        stored += line;
        stored += QLatin1Char('|');
    }
    return stored;
}

QString itemAsText(const storage::Item &item)
{
    return item.name + QLatin1Char('\n') + QString(item.description).replace(QLatin1Char('|'), QLatin1Char('\n'));
}

QMimeData *itemAsMimeData(const storage::Item &item)
{
    auto *data = new QMimeData;
    data->setText(itemAsText(item));
    data->setData(kItemMimeType, (item.name + QLatin1Char('\n') + item.description).toUtf8());
    return data;
}

std::optional<storage::Item> pastedItem(const QMimeData *clipboard, QString *refusal)
{
    bool tooLong = false;
    std::optional<storage::Item> item = clipboard ? itemOnClipboard(*clipboard, &tooLong) : std::nullopt;
    if (tooLong) {
        *refusal = QStringLiteral("The clipboard holds more text than Paste As New Item takes (%1 characters).  "
                                  "Nothing was pasted.")
                       .arg(kPasteLimit);
    } else if (!item) {
        *refusal = QStringLiteral("The clipboard holds no text to make an item of.  Copy an item's identify output "
                                  "in the game, then choose Paste As New Item again.");
    } else if (item->name.size() > kLongestPastedName) {
        *refusal = QStringLiteral("The name on the clipboard is longer than the %1 characters an item's name can have "
                                  "here.  Nothing was pasted.")
                       .arg(kLongestPastedName);
        item.reset();
    }
    return item;
}

} // namespace editing
