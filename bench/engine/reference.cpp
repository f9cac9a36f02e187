#include "reference.h"

#include <QElapsedTimer>
#include <QVariant>

#include <sqlite3.h>

#include <stdexcept>

Reference::Reference(const QString &file)
{
    if (sqlite3_open_v2(file.toUtf8().constData(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open " + file.toStdString());
}

Reference::~Reference()
{
    sqlite3_close(db_);
}

static QVariant columnValue(sqlite3_stmt *st, int i)
{
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(st, i));
    case SQLITE_FLOAT:
        return sqlite3_column_double(st, i);
    case SQLITE_TEXT:
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)),
                                 sqlite3_column_bytes(st, i));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(st, i)), sqlite3_column_bytes(st, i));
    default:
        return QVariant();
    }
}

int Reference::run(const QString &sql, const QVariantList &params, int maxRows)
{
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db_));
    for (int i = 0; i < params.size(); ++i) {
        const QByteArray t = params[i].toString().toUtf8();
        sqlite3_bind_text(st, i + 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
    }
    int rows = 0;
    const int cols = sqlite3_column_count(st);
    while (rows < maxRows && sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < cols; ++c)
            (void)columnValue(st, c);
        ++rows;
    }
    sqlite3_finalize(st);
    return rows;
}

double Reference::perRowNs(const QString &sql, int rows)
{
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &st, nullptr);
    const int cols = sqlite3_column_count(st);
    QElapsedTimer t;
    t.start();
    int n = 0;
    while (n < rows && sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < cols; ++c)
            (void)columnValue(st, c);
        ++n;
    }
    const double ns = double(t.nsecsElapsed()) / std::max(n, 1);
    sqlite3_finalize(st);
    return ns;
}
