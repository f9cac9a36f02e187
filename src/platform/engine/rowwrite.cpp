// Writing through a RowStore: every post and delete is one SQLite transaction.
#include "rowstore.h"

#include <sqlite3.h>

using sqlite::quoteIdent;

qint64 RowStore::insertRow(const std::vector<QVariant> &buf)
{
    QStringList names, marks;
    QVariantList values;
    for (size_t i = 0; i < cols_.size(); ++i) {
        if (!buf[i].isValid())
            continue;
        names << quoteIdent(layout_.tableColumns[size_t(layout_.source[i])].name);
        marks << QStringLiteral("?");
        values << buf[i];
    }
    const QString sql = names.isEmpty()
                            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteIdent(layout_.table))
                            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(quoteIdent(layout_.table), names.join(QLatin1Char(',')),
                                       marks.join(QLatin1Char(',')));
    sqlite::Stmt st(*layout_.db, sql);
    st.bindAll(values);
    try {
        st.step();
    } catch (const EngineError &) {
        writeFailed(st, buf);
    }
    return sqlite3_last_insert_rowid(layout_.db->handle());
}

void RowStore::updateRow(qint64 rowid, const std::vector<QVariant> &buf, const std::vector<char> &changed)
{
    QStringList sets;
    QVariantList values;
    for (size_t i = 0; i < cols_.size(); ++i) {
        if (!changed[i])
            continue;
        sets << quoteIdent(layout_.tableColumns[size_t(layout_.source[i])].name) + QStringLiteral("=?");
        values << buf[i];
    }
    if (sets.isEmpty())
        return;
    sqlite::Stmt st(*layout_.db, QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?")
                                   .arg(quoteIdent(layout_.table), sets.join(QLatin1Char(','))));
    st.bindAll(values);
    st.bind(int(values.size()) + 1, rowid);
    try {
        st.step();
    } catch (const EngineError &) {
        writeFailed(st, buf);
    }
}

void RowStore::writeFailed(const sqlite::Stmt &st, const std::vector<QVariant> &buf)
{
    const int code = st.lastErrorCode();
    if (code == SQLITE_CONSTRAINT_PRIMARYKEY || code == SQLITE_CONSTRAINT_UNIQUE) {
        QString key;
        if (keyCol_ >= 0)
            for (size_t i = 0; i < cols_.size(); ++i)
                if (layout_.source[i] == keyCol_)
                    key = QStringLiteral(": %1 '%2' is already in %3")
                              .arg(cols_[i].name, buf[i].toString(), layout_.db->shownName());
        throw EngineError(QStringLiteral("Key violation") + key);
    }
    if (code == SQLITE_CONSTRAINT_NOTNULL)
        throw EngineError(QStringLiteral("A required field has no value (%1): %2")
                              .arg(layout_.db->shownName(), QString::fromUtf8(sqlite3_errmsg(layout_.db->handle()))));
    layout_.db->fail(QStringLiteral("Cannot write the record"));
}

int RowStore::post(int pos, bool inserting, const std::vector<QVariant> &buf,
                   const std::vector<char> &changed)
{
    if (!layout_.writable)
        return Backend::post(pos, inserting, buf, changed);
    qint64 rowid = 0;
    {
        sqlite::Transaction tx(*layout_.db);
        if (inserting)
            rowid = insertRow(buf);
        else
            updateRow(rowid = ids_[size_t(pos)], buf, changed);
        tx.commit();
    }
    bool keyChanged = inserting || !condition().isEmpty();
    if (keyCol_ >= 0 && !inserting)
        keyChanged = keyChanged || changed[size_t(keyCol_)];
    if (!keyChanged)
        return pos;
    if (!inserting)
        ids_.erase(ids_.begin() + pos);
    if (!matches(rowid)) // the post took the row out of the filter
        return ids_.empty() ? -1 : std::min(pos < 0 ? 0 : pos, int(ids_.size()) - 1);
    const int at = placeOf(rowid);
    ids_.insert(ids_.begin() + at, rowid);
    return at;
}

void RowStore::remove(int pos)
{
    if (!layout_.writable)
        return Backend::remove(pos);
    sqlite::Transaction tx(*layout_.db);
    sqlite::Stmt st(*layout_.db, QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(quoteIdent(layout_.table)));
    st.bind(1, ids_[size_t(pos)]);
    st.step();
    tx.commit();
    ids_.erase(ids_.begin() + pos);
}

MemoryRows::MemoryRows(sqlite::Db &db, const CompiledSelect &sel)
{
    for (const OutputColumn &oc : sel.columns) {
        Column c;
        c.name = oc.name;
        c.type = oc.type;
        c.size = oc.size;
        cols_.push_back(c);
    }
    sqlite::Stmt st(db, sel.full.sql);
    st.bindAll(sel.full.params);
    while (st.step()) {
        std::vector<QVariant> row(cols_.size());
        for (size_t i = 0; i < cols_.size(); ++i)
            row[i] = st.column(int(i));
        rows_.push_back(std::move(row));
    }
}

int MemoryRows::locate(int col, const QVariant &stored)
{
    for (size_t i = 0; i < rows_.size(); ++i) {
        const QVariant &v = rows_[i][size_t(col)];
        const bool blank = !v.isValid() || v.toString().isEmpty();
        if (!stored.isValid() ? blank : (!blank && v == stored))
            return int(i);
    }
    return -1;
}
