#include "editing/description_encoding.h"

#include "storage/text_file.h"

namespace editing {

QString encodeThroughScratch(const QString &scratchPath, const QString &typed)
{
    // Text boxes hand their lines over with "\n"; the file takes CR LF, which
    // is what the reader below ends a line at.
    QString text = typed;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    storage::saveAtomically(scratchPath, storage::encodeLines({text}));

    storage::LineReader reader(scratchPath);
    QString stored;
    // The file always ends with a line end, so there is at least one line.
    do {
        stored += reader.readLine();
        stored += QLatin1Char('|');
    } while (!reader.atEnd());
    return stored;
}

QString editableForm(const QString &stored)
{
    QString shown = stored;
    if (shown.endsWith(QLatin1Char('|')))
        shown.chop(1);
    shown.replace(QLatin1Char('|'), QLatin1Char('\n'));
    return shown;
}

QString shownForm(const QString &text, bool *broken)
{
    QString shown;
    qsizetype copied = 0; // text before this is in shown
    for (qsizetype lineStart = 0; lineStart < text.size();) {
        qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        for (qsizetype at = lineStart; lineEnd - at > kShownLineLength;) {
            qsizetype cut = at + kShownLineLength;
            if (text[cut].isLowSurrogate() && text[cut - 1].isHighSurrogate())
                --cut;
            shown += QStringView(text).sliced(copied, cut - copied);
            shown += QLatin1Char('\n');
            copied = at = cut;
        }
        lineStart = lineEnd + 1;
    }
    if (broken)
        *broken = copied > 0;
    if (copied == 0)
        return text;
    shown += QStringView(text).sliced(copied);
    return shown;
}

} // namespace editing
