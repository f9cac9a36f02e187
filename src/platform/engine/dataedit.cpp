// Editing a dataset: the pending change in the record buffer and its post in one
// transaction (see the invariants in dataset.h).
#include "datasetimpl.h"
#include "fieldvalue.h"

#include <algorithm>

void DataSet::requireWritable() const
{
    requireActive();
    if (readOnly())
        throw EngineError(QStringLiteral("Cannot modify a read-only dataset"));
}

void DataSet::append()
{
    requireWritable();
    checkBrowseMode();
    d->blankBuffer();
    state_ = DataSetState::Insert;
    d->eof = true;
    notify(DataEvent::StateChanged);
    notify(DataEvent::RecordChanged);
}

void DataSet::insert()
{
    // Rows keep the table's order (key or insertion), so an insert lands where append would.
    append();
    d->eof = false;
}

void DataSet::edit()
{
    requireWritable();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert)
        return;
    if (d->count() == 0) {
        append();
        return;
    }
    std::fill(d->changed.begin(), d->changed.end(), 0);
    d->modified = false;
    state_ = DataSetState::Edit;
    notify(DataEvent::StateChanged);
}

void DataSet::checkRequired() const
{
    const Columns &cols = d->be->columns();
    for (size_t i = 0; i < d->fields.size(); ++i) {
        const int col = d->fieldCol[i];
        const bool required = d->fields[i]->required() || cols[size_t(col)].required;
        if (required && d->have[size_t(col)] && d->buf[size_t(col)].isNull())
            throw EngineError(QStringLiteral("Field '%1' must have a value").arg(d->fields[i]->fieldName()));
    }
}

void DataSet::post()
{
    requireActive();
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        return;
    checkRequired();
    const bool inserting = state_ == DataSetState::Insert;
    const int at = d->be->post(inserting ? -1 : d->pos, inserting, d->buf, d->changed);
    state_ = DataSetState::Browse;
    d->dropCache();
    const int n = d->count();
    d->pos = n == 0 ? -1 : std::clamp(at, 0, n - 1);
    d->bof = n == 0;
    d->eof = n == 0;
    d->loadCurrent();
    notify(DataEvent::StateChanged);
    notify(DataEvent::DataChanged);
}

void DataSet::cancel()
{
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        return;
    state_ = DataSetState::Browse;
    const int n = d->count();
    d->eof = n == 0;
    d->bof = n == 0;
    d->loadCurrent();
    notify(DataEvent::StateChanged);
    notify(DataEvent::RecordChanged);
}

void DataSet::deleteRecord()
{
    requireWritable();
    if (state_ == DataSetState::Insert) {
        cancel();
        return;
    }
    cancel();
    if (d->count() == 0)
        throw EngineError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    d->be->remove(d->pos);
    d->dropCache();
    const int n = d->count();
    d->pos = std::min(d->pos, n - 1);
    d->bof = n == 0;
    d->eof = n == 0;
    d->loadCurrent();
    notify(DataEvent::DataChanged);
}

void DataSet::refresh()
{
    checkBrowseMode();
    d->be->reload();
    d->dropCache();
    const int n = d->count();
    d->pos = std::min(std::max(d->pos, n > 0 ? 0 : -1), n - 1);
    d->bof = d->eof = n == 0;
    d->loadCurrent();
    notify(DataEvent::DataChanged);
}

bool DataSet::modified() const
{
    return d->modified;
}

// A field assignment: Browse turns into Edit (or Insert on an empty set), as typing does.
void DataSet::setFieldStored(Field *f, const QVariant &stored)
{
    requireWritable();
    if (state_ == DataSetState::Browse)
        edit();
    const size_t col = size_t(d->fieldCol[size_t(f->index())]);
    d->buf[col] = stored;
    d->have[col] = 1;
    d->changed[col] = 1;
    d->modified = true;
    notify(DataEvent::FieldChanged, f);
}

QVariant DataSet::fieldStored(const Field *f) const
{
    requireActive();
    if (state_ == DataSetState::Browse && d->pos < 0)
        return QVariant();
    return d->stored(d->fieldCol[size_t(f->index())]);
}
