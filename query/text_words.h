#pragma once

#include "fields/registry.h"

#include <QString>
#include <QStringView>

// What the query and score parsers share: where their mistakes are, counted
// in words (the blank-separated chunks of the text, from 1), and the messages.
namespace query {

// Parentheses and "-" nest at most this deep.
inline constexpr int kMostNesting = 100;
// Numbers have at most this many digits.
inline constexpr int kMostDigits = 18;

bool isBlank(QChar c);

// Counts the words of a text as it is read from the start.
class WordCounter
{
public:
    explicit WordCounter(QStringView text) : text_(text) {}
    // The word of the character at `at`; `at` never goes back.
    int wordAt(qsizetype at);

private:
    QStringView text_;
    qsizetype counted_ = 0;
    int word_ = 0;
    bool afterBlank_ = true;
};

// "unknown field 'hitrol' at word 3; did you mean hitroll?"
QString unknownField(const fields::Registry &known, QStringView name, int word);

// "at word 3", or "at the end" for word 0.
QString place(int word);

// A number with optional sign and decimals, at most kMostDigits digits: "18", "-3", "+2.5".
bool isNumber(QStringView text, bool signAllowed);

} // namespace query
