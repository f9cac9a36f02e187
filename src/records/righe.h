#pragma once
// Leaving a row that is still being edited, shared by the CD form's track list and the
// lookup editor.
class DataSet;
class QAbstractItemView;

// Hands the text of a grid cell still open for typing to the dataset, as leaving the cell
// would, and closes the cell editor.
void chiudiEditor(QAbstractItemView *grid);

// A change pending on `ds` is posted when it was modified and dropped otherwise (as a move
// to another row does). A post that fails drops the change when `scartaSeFallisce` is set
// (then the error still goes on), and leaves it pending otherwise.
void lasciaRiga(DataSet *ds, bool scartaSeFallisce = false);
