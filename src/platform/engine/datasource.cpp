#include "dataset.h"

#include <algorithm>

DataSource::DataSource(QString componentName, DataSet *dataSet) : name_(std::move(componentName))
{
    setDataSet(dataSet);
}

DataSource::~DataSource()
{
    if (dataSet_)
        dataSet_->removeObserver(this);
}

void DataSource::setDataSet(DataSet *ds)
{
    if (ds == dataSet_)
        return;
    if (dataSet_)
        dataSet_->removeObserver(this);
    dataSet_ = ds;
    if (dataSet_)
        dataSet_->addObserver(this);
    dataSetEvent(dataSet_, DataEvent::DataChanged, nullptr);
}

void DataSource::addObserver(DataSetObserver *o)
{
    if (o && std::find(observers_.begin(), observers_.end(), o) == observers_.end())
        observers_.push_back(o);
}

void DataSource::removeObserver(DataSetObserver *o)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), o), observers_.end());
}

void DataSource::dataSetEvent(DataSet *dataSet, DataEvent event, Field *field)
{
    const auto observers = observers_; // an observer may detach while told
    for (DataSetObserver *o : observers)
        if (std::find(observers_.begin(), observers_.end(), o) != observers_.end())
            o->dataSetEvent(dataSet, event, field);
}
