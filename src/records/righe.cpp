#include "righe.h"

#include "dataset.h"

#include <QAbstractItemView>
#include <QMetaObject>

void chiudiEditor(QAbstractItemView *grid)
{
    // The open cell editor is the current cell's index widget.
    QWidget *editor = grid ? grid->indexWidget(grid->currentIndex()) : nullptr;
    if (!editor)
        return;
    // The view's own slots, as the delegate calls them when the user leaves the cell.
    QMetaObject::invokeMethod(grid, "commitData", Q_ARG(QWidget *, editor));
    QMetaObject::invokeMethod(grid, "closeEditor", Q_ARG(QWidget *, editor),
                              Q_ARG(QAbstractItemDelegate::EndEditHint,
                                    QAbstractItemDelegate::NoHint));
}

void lasciaRiga(DataSet *ds, bool scartaSeFallisce)
{
    if (!ds || (ds->state() != DataSetState::Edit && ds->state() != DataSetState::Insert))
        return;
    if (!ds->modified()) {
        ds->cancel();
        return;
    }
    try {
        ds->post();
    } catch (...) {
        if (scartaSeFallisce)
            ds->cancel();
        throw;
    }
}
