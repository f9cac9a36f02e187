#pragma once
// Private to the engine: what a dataset's cursor reads from (a Backend) and the
// dataset's own state (current position, record buffer, fields, observers).
#include "dataset.h"
#include "schema.h"
#include "sqldialect.h"

#include <unordered_map>

constexpr int kPageRows = 256; // rows read together for grids and reports

// The ordered row set of an open dataset. Positions are 0-based indexes into it.
class Backend {
public:
    virtual ~Backend() = default;
    const Columns &columns() const { return cols_; }
    virtual int count() const = 0;
    virtual std::vector<QVariant> readRow(int pos) = 0; // lazy columns come back invalid
    virtual QVariant readLazy(int pos, int col) = 0;
    // Rows [from, from + n) for grids and reports; lazy columns come back invalid.
    virtual void readPage(int from, int n, std::vector<std::vector<QVariant>> &out);
    // One lazy column of rows [from, from + n).
    virtual void readLazyPage(int from, int n, int col, std::vector<QVariant> &out);
    virtual bool readOnly() const { return true; }
    virtual void setFilter(const BoundSql &filter);
    virtual int locate(int col, const QVariant &stored) = 0; // first position, or -1
    // Writes a pending change in one transaction; returns the posted row's new position
    // (or where the cursor belongs when the row left the set).
    virtual int post(int pos, bool inserting, const std::vector<QVariant> &buf,
                     const std::vector<char> &changed);
    virtual void remove(int pos);
    virtual void reload() {}

protected:
    Columns cols_;
};

struct DataSet::Impl {
    std::unique_ptr<Backend> be;
    std::vector<std::unique_ptr<Field>> fields;
    std::vector<int> fieldCol; // field index -> backend column
    bool persistentFields = false;

    int pos = -1;
    bool eof = true;
    bool bof = true;

    // The current record and its pending change.
    std::vector<QVariant> buf;
    std::vector<char> have;    // lazy columns are read on demand
    std::vector<char> changed; // columns assigned since edit/append/insert
    bool modified = false;

    std::vector<DataSetObserver *> observers;
    int disabled = 0;

    // valueAt() reads rows a page at a time; memos and pictures in pages of their own.
    static constexpr int pageRows = kPageRows;
    using Page = std::vector<std::vector<QVariant>>;
    mutable std::unordered_map<int, Page> rowCache;
    mutable std::unordered_map<qint64, std::vector<QVariant>> lazyCache; // key: page * columns + column
    const QVariant &cachedValue(int row, int col) const;
    void dropCache()
    {
        rowCache.clear();
        lazyCache.clear();
    }

    void loadCurrent();
    void blankBuffer();
    const QVariant &stored(int col);
    int count() const { return be ? be->count() : 0; }
};

// A stored value as callers read it: QDate for dates, qint32 for integers.
QVariant publicValue(FieldType type, const QVariant &stored);
