#include "datalink.h"

DataLink::DataLink(Handler handler) : handler_(std::move(handler)) {}

DataLink::~DataLink()
{
    if (source_)
        source_->removeObserver(this);
}

void DataLink::setDataSource(DataSource *source)
{
    if (source == source_)
        return;
    if (source_)
        source_->removeObserver(this);
    source_ = source;
    if (source_)
        source_->addObserver(this);
    handler_(DataEvent::DataChanged, nullptr);
}

DataSet *DataLink::dataSet() const
{
    return source_ ? source_->dataSet() : nullptr;
}

bool DataLink::active() const
{
    const DataSet *ds = dataSet();
    return ds && ds->active();
}

bool DataLink::editing() const
{
    const DataSet *ds = dataSet();
    return ds && (ds->state() == DataSetState::Edit || ds->state() == DataSetState::Insert);
}

Field *DataLink::field() const
{
    if (!active() || fieldName_.isEmpty())
        return nullptr;
    return dataSet()->findField(fieldName_);
}

bool DataLink::concernsField(DataEvent event, Field *field) const
{
    if (event != DataEvent::FieldChanged || !field)
        return true;
    return field->fieldName().compare(fieldName_, Qt::CaseInsensitive) == 0;
}

void DataLink::dataSetEvent(DataSet *, DataEvent event, Field *field)
{
    handler_(event, field);
}
