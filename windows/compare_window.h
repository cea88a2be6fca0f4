#pragma once

#include "query/compare.h"

#include <QVector>
#include <QWidget>

class QTableWidget;

namespace windows {

// The "Compare Items" window (objectName "compareItemsWindow"): a table
// ("comparisonTable") with one column per item, headed by its name, and one
// row per field any of them has (in the first item's order, then the
// others'); each number beside the first item's is followed by its difference
// in the text ("1 (-2)", "3 (=)"), and a field an item lacks reads "none".
// Rows Name, Database and Description (whole, with its line breaks) end the
// table. Under it the same comparison as text (query::compareText), for a
// screen reader; "Copy" ("copyButton") puts that text on the clipboard.
// Escape and "Close" close the window.
class CompareWindow : public QWidget
{
    Q_OBJECT
public:
    explicit CompareWindow(const QVector<query::ComparedItem> &items, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fillTable(const QVector<query::ComparedItem> &items);

    QTableWidget *table_ = nullptr;
};

} // namespace windows
