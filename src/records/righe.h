#pragma once
// Leaving a row that is still being edited, shared by the CD form's track list and the
// lookup editor (a cell still open in the grid is committed first with DBGrid::commitEdit).
class DataSet;

// A change pending on `ds` is posted when it was modified and dropped otherwise (as a move
// to another row does). A post that fails drops the change when `scartaSeFallisce` is set
// (then the error still goes on), and leaves it pending otherwise.
void lasciaRiga(DataSet *ds, bool scartaSeFallisce = false);
