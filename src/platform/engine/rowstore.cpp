#include "rowstore.h"

#include "fieldvalue.h"

#include <sqlite3.h>

#include <algorithm>
#include <numeric>
#include <unordered_set>

using sqlite::quoteIdent;

void Backend::setFilter(const BoundSql &filter)
{
    if (!filter.isEmpty())
        throw EngineError(QStringLiteral("This dataset cannot be filtered"));
}

int Backend::post(int, bool, const std::vector<QVariant> &, const std::vector<char> &)
{
    throw EngineError(QStringLiteral("Cannot modify a read-only dataset"));
}

void Backend::remove(int)
{
    throw EngineError(QStringLiteral("Cannot modify a read-only dataset"));
}

RowStore::RowStore(Layout layout) : layout_(std::move(layout))
{
    cols_ = layout_.columns;
    if (layout_.orderBy.isEmpty()) {
        int keys = 0;
        for (size_t i = 0; i < layout_.tableColumns.size(); ++i)
            if (layout_.tableColumns[i].primaryKey) {
                ++keys;
                keyCol_ = int(i);
            }
        // An INTEGER primary key is the rowid itself; several key columns sort by all.
        if (keys != 1 || layout_.tableColumns[size_t(keyCol_)].type == FieldType::Integer)
            keyCol_ = -1;
        layout_.orderBy = keyCol_ >= 0
                            ? QStringLiteral("ORDER BY %1").arg(quoteIdent(layout_.tableColumns[size_t(keyCol_)].name))
                            : QStringLiteral("ORDER BY rowid");
        if (keyCol_ >= 0)
            keyStmt_ = sqlite::Stmt(*layout_.db, QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?")
                                                   .arg(quoteIdent(layout_.tableColumns[size_t(keyCol_)].name),
                                                        quoteIdent(layout_.table)));
    }
    QStringList eager;
    lazyStmts_.resize(cols_.size());
    for (size_t i = 0; i < cols_.size(); ++i) {
        const QString name = quoteIdent(layout_.tableColumns[size_t(layout_.source[i])].name);
        if (cols_[i].lazy()) {
            lazyStmts_[i] = sqlite::Stmt(*layout_.db, QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?")
                                                        .arg(name, quoteIdent(layout_.table)));
        } else {
            eager << name;
            eagerCols_.push_back(int(i));
        }
    }
    if (eager.isEmpty())
        eager << QStringLiteral("rowid");
    readStmt_ = sqlite::Stmt(*layout_.db, QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?")
                                            .arg(eager.join(QLatin1Char(',')), quoteIdent(layout_.table)));
    rebuild();
}

QString RowStore::condition() const
{
    QStringList parts;
    if (!layout_.where.isEmpty())
        parts << QLatin1Char('(') + layout_.where.sql + QLatin1Char(')');
    if (!filter_.isEmpty())
        parts << QLatin1Char('(') + filter_.sql + QLatin1Char(')');
    return parts.join(QStringLiteral(" AND "));
}

QVariantList RowStore::conditionParams() const
{
    return layout_.where.params + filter_.params;
}

// The whole table in its natural order. Without deletions the rowids are first..last;
// otherwise an index holds every rowid in far fewer pages than the table (whose rows carry
// the lyrics), so they are read from there and sorted.
bool RowStore::rebuildNaturalOrder()
{
    sqlite::Stmt count(*layout_.db, QStringLiteral("SELECT count(*) FROM %1").arg(quoteIdent(layout_.table)));
    // min and max each read one end of the table; together SQLite would scan it.
    sqlite::Stmt first(*layout_.db, QStringLiteral("SELECT min(rowid) FROM %1").arg(quoteIdent(layout_.table)));
    sqlite::Stmt last(*layout_.db, QStringLiteral("SELECT max(rowid) FROM %1").arg(quoteIdent(layout_.table)));
    const qint64 rows = count.step() ? count.columnInt64(0) : -1;
    count.reset();
    const qint64 lo = first.step() ? first.columnInt64(0) : 0;
    first.reset();
    const qint64 hi = last.step() ? last.columnInt64(0) : 0;
    last.reset();
    if (rows > 0 && hi - lo + 1 == rows) {
        ids_.resize(size_t(rows));
        std::iota(ids_.begin(), ids_.end(), lo);
        return true;
    }
    if (rows == 0)
        return true;
    sqlite::Stmt list(*layout_.db, QStringLiteral("PRAGMA index_list(%1)").arg(quoteIdent(layout_.table)));
    QString index;
    while (list.step())
        if (index.isEmpty() && list.column(4).toInt() == 0)
            index = list.column(1).toString();
    if (index.isEmpty())
        return false;
    sqlite::Stmt st(*layout_.db, QStringLiteral("SELECT rowid FROM %1 INDEXED BY %2")
                                   .arg(quoteIdent(layout_.table), quoteIdent(index)));
    while (st.step())
        ids_.push_back(st.columnInt64(0));
    std::sort(ids_.begin(), ids_.end());
    return true;
}

void RowStore::rebuild()
{
    ids_.clear();
    const QString cond = condition();
    if (cond.isEmpty() && keyCol_ < 0 && layout_.orderBy == QLatin1String("ORDER BY rowid")
        && rebuildNaturalOrder())
        return;
    QString sql = QStringLiteral("SELECT rowid FROM %1").arg(quoteIdent(layout_.table));
    if (!cond.isEmpty())
        sql += QStringLiteral(" WHERE ") + cond;
    sql += QLatin1Char(' ') + layout_.orderBy;
    sqlite::Stmt st(*layout_.db, sql);
    st.bindAll(conditionParams());
    while (st.step())
        ids_.push_back(st.columnInt64(0));
}

std::vector<QVariant> RowStore::readRow(int pos)
{
    std::vector<QVariant> row(cols_.size());
    sqlite::StmtUse use(readStmt_);
    readStmt_.bind(1, ids_[size_t(pos)]);
    if (readStmt_.step())
        for (size_t i = 0; i < eagerCols_.size(); ++i)
            row[size_t(eagerCols_[i])] = readStmt_.column(int(i));
    return row;
}

QVariant RowStore::readLazy(int pos, int col)
{
    sqlite::Stmt &st = lazyStmts_[size_t(col)];
    if (!st.valid())
        return readRow(pos)[size_t(col)];
    sqlite::StmtUse use(st);
    st.bind(1, ids_[size_t(pos)]);
    return st.step() ? st.column(0) : QVariant();
}

void RowStore::setFilter(const BoundSql &filter)
{
    filter_ = filter;
    rebuild();
}

int RowStore::locate(int col, const QVariant &stored)
{
    // Two cached statements per column: one for a value, one for a blank.
    locateStmts_.resize(cols_.size() * 2);
    sqlite::Stmt &st = locateStmts_[size_t(col) * 2 + (stored.isValid() ? 0 : 1)];
    if (!st.valid()) {
        const QString name = quoteIdent(layout_.tableColumns[size_t(layout_.source[size_t(col)])].name);
        QString sql = QStringLiteral("SELECT rowid FROM %1 WHERE ").arg(quoteIdent(layout_.table));
        sql += stored.isValid() ? QStringLiteral("%1 = ?").arg(name)
                                : QStringLiteral("(%1 IS NULL OR %1 = '')").arg(name);
        st = sqlite::Stmt(*layout_.db, sql);
    }
    sqlite::StmtUse use(st);
    if (stored.isValid())
        st.bind(1, stored);
    std::vector<qint64> hits;
    while (st.step())
        hits.push_back(st.columnInt64(0));
    if (hits.size() == 1) { // the usual case: a key
        const auto it = std::find(ids_.begin(), ids_.end(), hits.front());
        return it == ids_.end() ? -1 : int(it - ids_.begin());
    }
    const std::unordered_set<qint64> set(hits.begin(), hits.end());
    for (size_t i = 0; i < ids_.size() && !set.empty(); ++i)
        if (set.count(ids_[i]))
            return int(i);
    return -1;
}

bool RowStore::matches(qint64 rowid)
{
    const QString cond = condition();
    if (cond.isEmpty())
        return true;
    sqlite::Stmt st(*layout_.db, QStringLiteral("SELECT 1 FROM %1 WHERE rowid=? AND %2")
                                   .arg(quoteIdent(layout_.table), cond));
    st.bind(1, rowid);
    st.bindAll(conditionParams(), 2);
    const bool found = st.step();
    st.reset();
    return found;
}

// Where a row belongs in the ordered list: binary search on the key, read by rowid.
int RowStore::placeOf(qint64 rowid)
{
    if (keyCol_ < 0)
        return int(std::lower_bound(ids_.begin(), ids_.end(), rowid) - ids_.begin());
    auto keyOf = [this](qint64 id) {
        sqlite::StmtUse use(keyStmt_);
        keyStmt_.bind(1, id);
        return keyStmt_.step() ? keyStmt_.column(0).toString() : QString();
    };
    const QString key = keyOf(rowid);
    auto it = std::lower_bound(ids_.begin(), ids_.end(), rowid, [&](qint64 a, qint64) {
        const int c = keyOf(a).compare(key);
        return c < 0 || (c == 0 && a < rowid);
    });
    return int(it - ids_.begin());
}

void Backend::readPage(int from, int n, std::vector<std::vector<QVariant>> &out)
{
    out.clear();
    for (int i = 0; i < n; ++i)
        out.push_back(readRow(from + i));
}

void Backend::readLazyPage(int from, int n, int col, std::vector<QVariant> &out)
{
    out.clear();
    for (int i = 0; i < n; ++i)
        out.push_back(readLazy(from + i, col));
}

// One statement reads a page of rows by rowid; unused places are bound to NULL.
constexpr int pageSize = kPageRows;

// A page is read with one statement: by a rowid range when its rows lie close together in
// ascending rowid order (a sequential read), else by a list of rowids.
sqlite::Stmt &RowStore::pageStatement(int col, bool range)
{
    QString from = QStringLiteral(" FROM %1 WHERE ").arg(quoteIdent(layout_.table));
    if (range) {
        from += QStringLiteral("rowid BETWEEN ? AND ?");
    } else {
        QStringList marks;
        for (int i = 0; i < pageSize; ++i)
            marks << QStringLiteral("?");
        from += QStringLiteral("rowid IN (%1)").arg(marks.join(QLatin1Char(',')));
    }
    pageStmts_.resize((cols_.size() + 1) * 2);
    sqlite::Stmt &st = pageStmts_[size_t(col + 1) * 2 + (range ? 1 : 0)];
    if (!st.valid()) {
        QStringList names{QStringLiteral("rowid")};
        if (col >= 0)
            names << quoteIdent(layout_.tableColumns[size_t(layout_.source[size_t(col)])].name);
        for (size_t i = 0; col < 0 && i < eagerCols_.size(); ++i)
            names << quoteIdent(layout_.tableColumns[size_t(layout_.source[size_t(eagerCols_[i])])].name);
        st = sqlite::Stmt(*layout_.db, QStringLiteral("SELECT ") + names.join(QLatin1Char(',')) + from);
    }
    return st;
}

// Binds the page's rows; returns the statement to step. `at` maps rowid -> place in the page.
sqlite::Stmt &RowStore::preparePage(int from, int n, int col, std::unordered_map<qint64, size_t> &at)
{
    bool ascending = true;
    for (int i = 0; i < n; ++i) {
        at.emplace(ids_[size_t(from + i)], size_t(i));
        ascending = ascending && (i == 0 || ids_[size_t(from + i)] > ids_[size_t(from + i - 1)]);
    }
    const qint64 lo = ids_[size_t(from)], hi = ids_[size_t(from + n - 1)];
    const bool range = ascending && hi - lo < qint64(n) * 8;
    sqlite::Stmt &st = pageStatement(col, range);
    if (range) {
        st.bind(1, lo);
        st.bind(2, hi);
    } else {
        for (int i = 0; i < pageSize; ++i)
            st.bind(i + 1, i < n ? QVariant(ids_[size_t(from + i)]) : QVariant());
    }
    return st;
}

void RowStore::readPage(int from, int n, std::vector<std::vector<QVariant>> &out)
{
    out.assign(size_t(n), std::vector<QVariant>(cols_.size()));
    if (n <= 0)
        return;
    std::unordered_map<qint64, size_t> at;
    sqlite::Stmt &st = preparePage(from, n, -1, at);
    sqlite::StmtUse use(st);
    while (st.step()) {
        const auto it = at.find(st.columnInt64(0));
        if (it == at.end())
            continue;
        std::vector<QVariant> &row = out[it->second];
        for (size_t i = 0; i < eagerCols_.size(); ++i)
            row[size_t(eagerCols_[i])] = st.column(int(i) + 1);
    }
}

void RowStore::readLazyPage(int from, int n, int col, std::vector<QVariant> &out)
{
    if (!cols_[size_t(col)].lazy())
        return Backend::readLazyPage(from, n, col, out);
    out.assign(size_t(n), QVariant());
    if (n <= 0)
        return;
    std::unordered_map<qint64, size_t> at;
    sqlite::Stmt &st = preparePage(from, n, col, at);
    sqlite::StmtUse use(st);
    while (st.step()) {
        const auto it = at.find(st.columnInt64(0));
        if (it != at.end())
            out[it->second] = st.column(1);
    }
}
