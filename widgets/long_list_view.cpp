#include "widgets/long_list_view.h"

namespace widgets {

LongListView::LongListView(QWidget *parent) : QListView(parent)
{
    setUniformItemSizes(true);
    setLayoutMode(Batched);
    setBatchSize(kRowsPerSlice);
}

void LongListView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (index.isValid() && !rectForIndex(index).isValid())
        finishLayout();
    QListView::scrollTo(index, hint);
}

QModelIndex LongListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    finishLayout();
    return QListView::moveCursor(action, modifiers);
}

// The last row has its place only once every row has.
void LongListView::finishLayout()
{
    const int rows = model() ? model()->rowCount(rootIndex()) : 0;
    if (rows == 0 || rectForIndex(model()->index(rows - 1, modelColumn(), rootIndex())).isValid())
        return;
    setLayoutMode(SinglePass);
    doItemsLayout();
    setLayoutMode(Batched);
}

} // namespace widgets
