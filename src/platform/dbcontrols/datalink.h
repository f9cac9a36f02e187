#pragma once
// The tie between a control and a data source: it hears the data source's events and
// finds the bound field by name each time (fields are rebuilt whenever a dataset opens).
#include "dataset.h"

#include <QString>

#include <functional>

class DataLink : public DataSetObserver {
public:
    using Handler = std::function<void(DataEvent event, Field *field)>;

    explicit DataLink(Handler handler);
    ~DataLink() override;
    DataLink(const DataLink &) = delete;
    DataLink &operator=(const DataLink &) = delete;

    void setDataSource(DataSource *source); // the handler then hears DataChanged
    DataSource *dataSource() const { return source_; }
    DataSet *dataSet() const; // nullptr when unbound
    bool active() const;      // bound to an open dataset
    bool editing() const;     // the dataset is in Edit or Insert

    void setFieldName(const QString &name) { fieldName_ = name; }
    const QString &fieldName() const { return fieldName_; }
    Field *field() const; // the bound field of an open dataset, or nullptr

    // True when an event concerns the bound field (or every field).
    bool concernsField(DataEvent event, Field *field) const;

    void dataSetEvent(DataSet *dataSet, DataEvent event, Field *field) override;

private:
    Handler handler_;
    DataSource *source_ = nullptr;
    QString fieldName_;
};

// Set while a control writes its own field, so that the echo of that write does not
// reload the control under the user's cursor.
class WriteGuard {
public:
    explicit WriteGuard(bool &flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~WriteGuard() { flag_ = old_; }
    WriteGuard(const WriteGuard &) = delete;
    WriteGuard &operator=(const WriteGuard &) = delete;

private:
    bool &flag_;
    bool old_;
};
