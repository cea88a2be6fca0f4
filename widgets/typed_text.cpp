#include "widgets/typed_text.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace widgets {

QString typedText(const QPlainTextEdit *box)
{
    QString text = box->document()->toRawText();
    for (QChar &c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QLatin1Char('\n');
    }
    return text;
}

} // namespace widgets
