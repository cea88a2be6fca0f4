#pragma once

#include <QListView>

namespace widgets {

// A list view for a list of any length. It lays its rows out in slices between
// events, so a list of a million rows is painted and answers keys as soon as
// the first slice is laid out, not after every row has its place. A key that
// moves the cursor, or a scroll to a row without its place yet, first lays out
// the rest at once, so End reaches the last row and a chosen row comes into
// view however far down it is.
class LongListView : public QListView
{
public:
    // Rows laid out in one slice: 1 to 2 ms of work for a list of a million.
    static constexpr int kRowsPerSlice = 50000;

    explicit LongListView(QWidget *parent = nullptr);

    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    void finishLayout();
};

} // namespace widgets
