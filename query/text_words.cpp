#include "query/text_words.h"

namespace query {

bool isBlank(QChar c)
{
    return c.isSpace();
}

int WordCounter::wordAt(qsizetype at)
{
    for (; counted_ <= at && counted_ < text_.size(); ++counted_) {
        const bool blank = isBlank(text_[counted_]);
        word_ += afterBlank_ && !blank;
        afterBlank_ = blank;
    }
    return word_;
}

QString place(int word)
{
    return word > 0 ? QStringLiteral("at word %1").arg(word) : QStringLiteral("at the end");
}

QString unknownField(const fields::Registry &known, QStringView name, int word)
{
    QString message = QStringLiteral("unknown field '%1' %2").arg(name, place(word));
    const QString closest = known.closest(name);
    if (!closest.isEmpty())
        message += QStringLiteral("; did you mean %1?").arg(closest);
    return message;
}

bool isNumber(QStringView text, bool signAllowed)
{
    if (signAllowed && !text.isEmpty() && (text.front() == u'-' || text.front() == u'+'))
        text = text.mid(1);
    const qsizetype point = text.indexOf(u'.');
    const QStringView whole = point < 0 ? text : text.left(point);
    const QStringView fraction = point < 0 ? QStringView() : text.mid(point + 1);
    const auto digitsOnly = [](QStringView part) {
        return std::all_of(part.begin(), part.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    return !whole.isEmpty() && digitsOnly(whole) && (point < 0 || (!fraction.isEmpty() && digitsOnly(fraction)))
           && whole.size() + fraction.size() <= kMostDigits;
}

} // namespace query
