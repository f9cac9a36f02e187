// The dataset's state machine: cursor moves, the pending change, observers.
// See dataset.h for the states, transitions and invariants kept here.
#include "datasetimpl.h"
#include "fieldvalue.h"

#include <algorithm>

namespace {
[[noreturn]] void closedError()
{
    throw EngineError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}
} // namespace

void DataSet::Impl::blankBuffer()
{
    const size_t n = be ? be->columns().size() : 0;
    buf.assign(n, QVariant());
    have.assign(n, 1);
    changed.assign(n, 0);
    modified = false;
}

void DataSet::Impl::loadCurrent()
{
    blankBuffer();
    if (pos < 0 || pos >= count())
        return;
    buf = be->readRow(pos);
    for (size_t i = 0; i < buf.size(); ++i)
        have[i] = be->columns()[i].lazy() ? 0 : 1;
}

const QVariant &DataSet::Impl::stored(int col)
{
    if (!have[size_t(col)]) {
        buf[size_t(col)] = be->readLazy(pos, col);
        have[size_t(col)] = 1;
    }
    return buf[size_t(col)];
}

DataSet::DataSet(QString componentName) : d(std::make_unique<Impl>()), name_(std::move(componentName)) {}

DataSet::~DataSet()
{
    // Data sources still pointing here forget this dataset.
    const auto observers = d->observers;
    for (DataSetObserver *o : observers)
        if (auto *ds = dynamic_cast<DataSource *>(o); ds && ds->dataSet() == this)
            ds->setDataSet(nullptr);
}

void DataSet::notify(DataEvent event, Field *field)
{
    if (d->disabled > 0)
        return;
    const auto observers = d->observers; // an observer may detach while told
    for (DataSetObserver *o : observers)
        if (std::find(d->observers.begin(), d->observers.end(), o) != d->observers.end())
            o->dataSetEvent(this, event, field);
}

void DataSet::open()
{
    if (active())
        return;
    d->be.reset();
    doOpen();
    try {
        bindFields();
        if (filtered_ && !filter_.trimmed().isEmpty())
            d->be->setFilter(compileFilter(filter_, d->be->columns()));
    } catch (...) {
        d->be.reset();
        if (!d->persistentFields)
            d->fields.clear();
        throw;
    }
    state_ = DataSetState::Browse;
    d->dropCache();
    d->pos = d->count() > 0 ? 0 : -1;
    d->bof = true;
    d->eof = d->count() == 0;
    d->loadCurrent();
    notify(DataEvent::Opened);
}

// Fields declared with addField() stay across close and open; the others are made here.
void DataSet::bindFields()
{
    const Columns &cols = d->be->columns();
    d->fieldCol.clear();
    if (!d->persistentFields) {
        d->fields.clear();
        for (size_t i = 0; i < cols.size(); ++i) {
            auto f = std::make_unique<Field>(this, cols[i].name, cols[i].type, cols[i].size, int(i));
            f->setRequired(cols[i].required);
            d->fields.push_back(std::move(f));
        }
    }
    for (const auto &f : d->fields) {
        const int col = findColumn(cols, f->fieldName());
        if (col < 0)
            throw EngineError(QStringLiteral("Field '%1' not found").arg(f->fieldName()));
        d->fieldCol.push_back(col);
    }
}

void DataSet::close()
{
    if (!active())
        return;
    d->be.reset();
    d->buf.clear();
    d->have.clear();
    d->changed.clear();
    d->modified = false;
    d->dropCache();
    d->pos = -1;
    d->eof = d->bof = true;
    state_ = DataSetState::Inactive;
    if (!d->persistentFields)
        d->fields.clear();
    notify(DataEvent::Closed);
}

bool DataSet::readOnly() const
{
    return !d->be || d->be->readOnly();
}

void DataSet::requireActive() const
{
    if (!active())
        closedError();
}

// Leaving a record: a modified pending change is posted, an unmodified one dropped.
void DataSet::checkBrowseMode()
{
    requireActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        if (d->modified)
            post();
        else
            cancel();
    }
}

void DataSet::moveTo(int pos, bool bof, bool eof)
{
    d->pos = pos;
    d->bof = bof;
    d->eof = eof;
    d->loadCurrent();
    notify(DataEvent::RecordChanged);
}

void DataSet::first()
{
    checkBrowseMode();
    const int n = d->count();
    moveTo(n > 0 ? 0 : -1, true, n == 0);
}

void DataSet::last()
{
    checkBrowseMode();
    const int n = d->count();
    moveTo(n - 1, n == 0, true);
}

void DataSet::next()
{
    checkBrowseMode();
    if (d->pos + 1 < d->count())
        moveTo(d->pos + 1, false, false);
    else
        d->eof = true;
}

void DataSet::prior()
{
    checkBrowseMode();
    if (d->pos > 0)
        moveTo(d->pos - 1, false, false);
    else
        d->bof = true;
}

bool DataSet::eof() const
{
    return !active() || d->eof;
}

bool DataSet::bof() const
{
    return !active() || d->bof;
}

bool DataSet::isEmpty() const
{
    return d->count() == 0 && state_ != DataSetState::Insert;
}

int DataSet::recordCount() const
{
    return d->count();
}

int DataSet::recNo() const
{
    return active() ? d->pos : -1;
}

void DataSet::setRecNo(int row)
{
    checkBrowseMode();
    const int n = d->count();
    if (n == 0)
        return;
    row = std::clamp(row, 0, n - 1);
    moveTo(row, false, false);
}

bool DataSet::locate(const QString &fieldName, const QVariant &value)
{
    checkBrowseMode();
    Field *f = fieldByName(fieldName);
    const int col = d->fieldCol[size_t(f->index())];
    const QVariant key = toStored(f->dataType(), value, 0);
    const int at = d->be->locate(col, key);
    if (at < 0)
        return false;
    moveTo(at, false, false);
    return true;
}

void DataSet::setFilter(const QString &text)
{
    if (text == filter_)
        return;
    if (active() && filtered_)
        applyFilter(text, true);
    filter_ = text;
}

void DataSet::setFiltered(bool on)
{
    if (on == filtered_)
        return;
    if (active())
        applyFilter(filter_, on);
    filtered_ = on;
}

// A filter that does not parse leaves the row set as it was and throws.
void DataSet::applyFilter(const QString &text, bool on)
{
    checkBrowseMode();
    const BoundSql f = on ? compileFilter(text, d->be->columns()) : BoundSql();
    d->be->setFilter(f);
    d->dropCache();
    const int n = d->count();
    d->pos = n > 0 ? 0 : -1;
    d->bof = true;
    d->eof = n == 0;
    d->loadCurrent();
    notify(DataEvent::DataChanged);
}

int DataSet::fieldCount() const
{
    return int(d->fields.size());
}

Field *DataSet::field(int index) const
{
    return index >= 0 && index < fieldCount() ? d->fields[size_t(index)].get() : nullptr;
}

Field *DataSet::findField(const QString &name) const
{
    for (const auto &f : d->fields)
        if (f->fieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

Field *DataSet::fieldByName(const QString &name) const
{
    Field *f = findField(name);
    if (!f)
        throw EngineError(QStringLiteral("Field '%1' not found").arg(name));
    return f;
}

Field *DataSet::addField(const QString &name, FieldType type, int size)
{
    if (active())
        throw EngineError(QStringLiteral("Cannot perform this operation on an open dataset"));
    d->persistentFields = true;
    d->fields.push_back(std::make_unique<Field>(this, name, type, size, fieldCount()));
    return d->fields.back().get();
}

QVariant DataSet::valueAt(int row, int fieldIndex) const
{
    if (!active() || row < 0 || row >= d->count() || fieldIndex < 0 || fieldIndex >= fieldCount())
        return QVariant();
    const int col = d->fieldCol[size_t(fieldIndex)];
    const FieldType type = d->fields[size_t(fieldIndex)]->dataType();
    if (row == d->pos && state_ == DataSetState::Edit)
        return publicValue(type, d->stored(col));
    return publicValue(type, d->cachedValue(row, col));
}

const QVariant &DataSet::Impl::cachedValue(int row, int col) const
{
    const int page = row / pageRows, from = page * pageRows, n = std::min(pageRows, count() - from);
    if (be->columns()[size_t(col)].lazy()) {
        const qint64 key = qint64(page) * qint64(be->columns().size()) + col;
        auto it = lazyCache.find(key);
        if (it == lazyCache.end()) {
            if (lazyCache.size() >= 4) // pictures are big: keep few pages of them
                lazyCache.clear();
            it = lazyCache.emplace(key, std::vector<QVariant>()).first;
            be->readLazyPage(from, n, col, it->second);
        }
        return it->second[size_t(row - from)];
    }
    auto it = rowCache.find(page);
    if (it == rowCache.end()) {
        if (rowCache.size() >= 16) // 4,096 rows
            rowCache.clear();
        it = rowCache.emplace(page, Page()).first;
        be->readPage(from, n, it->second);
    }
    return it->second[size_t(row - from)][size_t(col)];
}

QString DataSet::displayTextAt(int row, int fieldIndex) const
{
    const Field *f = field(fieldIndex);
    return f ? formatFieldValue(f->dataType(), valueAt(row, fieldIndex), f->displayFormat()) : QString();
}

void DataSet::disableControls()
{
    ++d->disabled;
}

void DataSet::enableControls()
{
    if (d->disabled > 0 && --d->disabled == 0)
        notify(DataEvent::DataChanged);
}

bool DataSet::controlsDisabled() const
{
    return d->disabled > 0;
}

void DataSet::addObserver(DataSetObserver *o)
{
    if (o && std::find(d->observers.begin(), d->observers.end(), o) == d->observers.end())
        d->observers.push_back(o);
}

void DataSet::removeObserver(DataSetObserver *o)
{
    d->observers.erase(std::remove(d->observers.begin(), d->observers.end(), o), d->observers.end());
}
