#pragma once
// Datasets of the table engine: the cursor, the current record and its pending change,
// the fields, and the observers through which data-aware controls follow a dataset.
//
// States and transitions (a dataset is always in exactly one):
//   Inactive --open()--> Browse --edit()--> Edit --post()/cancel()--> Browse
//                        Browse --append()/insert()--> Insert --post()/cancel()--> Browse
//   close() from any state discards a pending change and returns to Inactive.
// Invariants:
//   - In Browse the current record is a stored row of the (filtered) row set, or none
//     when the set is empty (then eof() and bof() are both true).
//   - A pending change lives only in the record buffer until post() writes it in one
//     transaction; a failed post leaves the dataset in Edit/Insert with the buffer intact.
//   - Moving (first/next/prior/last/setRecNo/locate) with a pending change posts it when
//     modified() and discards it otherwise.
//   - While controls are disabled (disableControls() nesting > 0) observers hear nothing;
//     the last enableControls() sends them one DataChanged.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <stdexcept>
#include <vector>

// The one exception type of the engine: its text is what the user reads in the error box.
class EngineError : public std::runtime_error {
public:
    explicit EngineError(const QString &text);
    const QString &text() const noexcept { return text_; }

private:
    QString text_;
};

enum class FieldType { Text, Integer, Float, Date, Memo, Picture };
enum class DataSetState { Inactive, Browse, Edit, Insert };

// What an observer is told.
enum class DataEvent {
    Opened,        // the dataset became active (fields exist now)
    Closed,        // the dataset became inactive (fields are gone)
    StateChanged,  // Browse/Edit/Insert changed
    RecordChanged, // another record became current, or the current one was reloaded
    FieldChanged,  // one field of the current record buffer changed (field given)
    DataChanged,   // the row set changed (filter, delete, post, refresh): refetch everything
};

class DataSet;
class Field;

class DataSetObserver {
public:
    virtual ~DataSetObserver() = default;
    virtual void dataSetEvent(DataSet *dataSet, DataEvent event, Field *field) = 0;
};

class Field {
public:
    Field(DataSet *owner, QString name, FieldType type, int size, int index);

    const QString &fieldName() const { return name_; }
    FieldType dataType() const { return type_; }
    DataSet *dataSet() const { return owner_; }
    int index() const { return index_; }

    // Text fields: the most characters written; a longer assigned text is cut to it.
    int size() const { return size_; }
    void setSize(int size) { size_ = size; }
    bool required() const { return required_; }
    void setRequired(bool r) { required_ = r; }
    int displayWidth() const { return displayWidth_; }
    void setDisplayWidth(int w) { displayWidth_ = w; }
    // "0,.00": thousands separator and two decimals in the user's locale.
    const QString &displayFormat() const { return displayFormat_; }
    void setDisplayFormat(const QString &f) { displayFormat_ = f; }

    // Reading: the current record (with its pending change, if any).
    bool isNull() const;
    QVariant value() const; // QVariant() when blank
    QString asString() const;
    qint32 asInteger() const;
    double asFloat() const;
    QDate asDate() const;
    QByteArray asBytes() const; // memo and picture contents
    QString displayText() const;

    // Writing: puts the dataset into Edit when it is browsing (as typing does), marks it
    // modified and tells observers. Conversion failures throw EngineError.
    void setValue(const QVariant &v);
    void setAsString(const QString &s);
    void setAsInteger(qint32 v);
    void setAsFloat(double v);
    void setAsDate(const QDate &d);
    void setAsBytes(const QByteArray &b);
    void clear();

    void loadFromFile(const QString &path);      // blob := the file's bytes
    void saveToFile(const QString &path) const;  // memo text written to a file

private:
    DataSet *owner_;
    QString name_;
    FieldType type_;
    int size_;
    int index_;
    bool required_ = false;
    int displayWidth_ = 0;
    QString displayFormat_;
};

// Formats a value as a field of this type shows it (shared by grids and reports).
QString formatFieldValue(FieldType type, const QVariant &v, const QString &displayFormat);

class DataSet {
public:
    explicit DataSet(QString componentName);
    virtual ~DataSet();
    DataSet(const DataSet &) = delete;
    DataSet &operator=(const DataSet &) = delete;

    const QString &name() const { return name_; }

    void open();
    void close();
    bool active() const { return state_ != DataSetState::Inactive; }
    DataSetState state() const { return state_; }
    bool readOnly() const;

    // Navigation over the ordered, filtered row set.
    void first();
    void next();
    void prior();
    void last();
    bool eof() const;
    bool bof() const;
    bool isEmpty() const;
    int recordCount() const;
    int recNo() const; // 0-based position of the current record; -1 when there is none
    void setRecNo(int row);
    bool locate(const QString &fieldName, const QVariant &value); // exact, case-sensitive

    // Filter text in the local SQL dialect's expression grammar, and its switch.
    const QString &filter() const { return filter_; }
    void setFilter(const QString &text);
    bool filtered() const { return filtered_; }
    void setFiltered(bool on);

    // Fields (exist while the dataset is active).
    int fieldCount() const;
    Field *field(int index) const;
    Field *findField(const QString &name) const;  // nullptr when absent
    Field *fieldByName(const QString &name) const; // throws "Field '%s' not found"
    // Declares a persistent field (the data module's field objects): only while closed.
    // Once one is declared, open() binds these by name instead of making fields, and
    // they outlive close().
    Field *addField(const QString &name, FieldType type, int size = 0);

    // Random access for grids and reports, without moving the current record.
    QVariant valueAt(int row, int fieldIndex) const;
    QString displayTextAt(int row, int fieldIndex) const;

    // Editing (a Query is read-only and refuses these).
    void append();
    void insert();
    void edit();
    void post();
    void cancel();
    void deleteRecord();
    void refresh();
    bool modified() const;

    // Suspend and resume the updates of bound controls (nesting).
    void disableControls();
    void enableControls();
    bool controlsDisabled() const;

    void addObserver(DataSetObserver *o);
    void removeObserver(DataSetObserver *o);

protected:
    struct Impl;
    std::unique_ptr<Impl> d;
    virtual void doOpen() = 0; // sets up d's statement, columns and row ids
    friend class Field;

private:
    void notify(DataEvent event, Field *field = nullptr);
    void bindFields();
    void requireActive() const;
    void requireWritable() const;
    void checkBrowseMode();
    void checkRequired() const;
    void moveTo(int pos, bool bof, bool eof);
    void applyFilter(const QString &text, bool on);
    void setFieldStored(Field *f, const QVariant &stored);
    QVariant fieldStored(const Field *f) const;

    QString name_;
    DataSetState state_ = DataSetState::Inactive;
    QString filter_;
    bool filtered_ = false;
};

// One table file (archivio.db ...) opened by its bare name in the current directory,
// or in databaseName() when one is set.
class Table : public DataSet {
public:
    Table(QString componentName, QString tableName);
    const QString &tableName() const { return tableName_; }
    void setTableName(const QString &n) { tableName_ = n; }
    const QString &databaseName() const { return databaseName_; }
    void setDatabaseName(const QString &folder) { databaseName_ = folder; }
    void emptyTable(); // only while closed

protected:
    void doOpen() override;

private:
    QString tableName_;
    QString databaseName_;
};

// A read-only SQL query in the local dialect.
class Query : public DataSet {
public:
    explicit Query(QString componentName);
    const QStringList &sql() const { return sql_; }
    void clearSql() { sql_.clear(); }
    void addSql(const QString &line) { sql_.append(line); }
    QString sqlText() const { return sql_.join(QLatin1Char('\n')); }

protected:
    void doOpen() override;

private:
    QStringList sql_;
};

// A data source connects controls to a dataset and can be switched to another one.
class DataSource : public DataSetObserver {
public:
    explicit DataSource(QString componentName, DataSet *dataSet = nullptr);
    ~DataSource() override;
    const QString &name() const { return name_; }
    DataSet *dataSet() const { return dataSet_; }
    void setDataSet(DataSet *ds); // observers then hear DataChanged
    void addObserver(DataSetObserver *o);
    void removeObserver(DataSetObserver *o);
    void dataSetEvent(DataSet *dataSet, DataEvent event, Field *field) override;

private:
    QString name_;
    DataSet *dataSet_ = nullptr;
    std::vector<DataSetObserver *> observers_;
};
