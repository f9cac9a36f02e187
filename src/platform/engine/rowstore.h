#pragma once
// Rows of one stored table reached by rowid: the ordered, filtered list of row ids lives in
// memory; a row is read by rowid with a prepared statement when it becomes current or is
// shown; memo and picture columns only when asked for. Tables edit through it; plain
// queries (no grouping, sums or distinct) read through it with their own columns.
#include "datasetimpl.h"
#include "sqlite.h"

#include <memory>
#include <unordered_map>

class RowStore : public Backend {
public:
    struct Layout {
        std::shared_ptr<sqlite::Db> db;
        QString table;         // the table inside the file
        Columns tableColumns;  // all of the table's columns
        Columns columns;       // what the dataset shows
        std::vector<int> source; // shown column -> table column
        BoundSql where;        // a query's own condition
        QString orderBy;       // empty: the table's key, else rowid
        bool writable = false;
    };
    explicit RowStore(Layout layout);

    int count() const override { return int(ids_.size()); }
    std::vector<QVariant> readRow(int pos) override;
    QVariant readLazy(int pos, int col) override;
    void readPage(int from, int n, std::vector<std::vector<QVariant>> &out) override;
    void readLazyPage(int from, int n, int col, std::vector<QVariant> &out) override;
    bool readOnly() const override { return !layout_.writable; }
    void setFilter(const BoundSql &filter) override;
    int locate(int col, const QVariant &stored) override;
    int post(int pos, bool inserting, const std::vector<QVariant> &buf,
             const std::vector<char> &changed) override;
    void remove(int pos) override;
    void reload() override { rebuild(); }

private:
    void rebuild();
    bool rebuildNaturalOrder();
    QString condition() const;
    QVariantList conditionParams() const;
    bool matches(qint64 rowid);
    int placeOf(qint64 rowid);
    qint64 insertRow(const std::vector<QVariant> &buf);
    void updateRow(qint64 rowid, const std::vector<QVariant> &buf, const std::vector<char> &changed);
    [[noreturn]] void writeFailed(const sqlite::Stmt &st, const std::vector<QVariant> &buf);

    Layout layout_;
    BoundSql filter_;
    int keyCol_ = -1; // the table column that orders the rows; -1: rowid
    std::vector<qint64> ids_;
    sqlite::Stmt readStmt_;
    std::vector<int> eagerCols_;
    std::vector<sqlite::Stmt> lazyStmts_;
    sqlite::Stmt keyStmt_;
    std::vector<sqlite::Stmt> pageStmts_; // (shown column + 1) * 2 + range; -1 for the eager ones
    std::vector<sqlite::Stmt> locateStmts_;
    sqlite::Stmt &pageStatement(int col, bool range);
    sqlite::Stmt &preparePage(int from, int n, int col, std::unordered_map<qint64, size_t> &at);
};

// Rows of a grouped, summed or distinct query, held in memory (they are few).
class MemoryRows : public Backend {
public:
    MemoryRows(sqlite::Db &db, const CompiledSelect &sel);
    int count() const override { return int(rows_.size()); }
    std::vector<QVariant> readRow(int pos) override { return rows_[size_t(pos)]; }
    QVariant readLazy(int pos, int col) override { return rows_[size_t(pos)][size_t(col)]; }
    int locate(int col, const QVariant &stored) override;

private:
    std::vector<std::vector<QVariant>> rows_;
};
