#pragma once

#include <QString>

class QPlainTextEdit;

namespace widgets {

// The text of a multi-line box as the user typed it: each line break as "\n"
// and every other character as it stands. (QPlainTextEdit::toPlainText() would
// turn a no-break space into a plain space, which the files must not get.)
QString typedText(const QPlainTextEdit *box);

} // namespace widgets
