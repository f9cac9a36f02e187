#include "righe.h"

#include "dataset.h"

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
