#include "sqlite.h"

#include "dataset.h"

#include <sqlite3.h>

#include <utility>

namespace sqlite {

Db::Db(const QString &path, const QString &shownName, bool create) : shown_(shownName)
{
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (create)
        flags |= SQLITE_OPEN_CREATE;
    const QByteArray p = path.toUtf8();
    int rc = sqlite3_open_v2(p.constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        QString msg = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("out of memory");
        sqlite3_close(db_);
        db_ = nullptr;
        throw EngineError(QStringLiteral("Cannot open table %1: %2").arg(shown_, msg));
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, 5000);
}

Db::~Db()
{
    sqlite3_close_v2(db_);
}

void Db::fail(const QString &what) const
{
    throw EngineError(QStringLiteral("%1 (%2): %3")
                          .arg(what, shown_, QString::fromUtf8(sqlite3_errmsg(db_))));
}

void Db::exec(const QString &sql)
{
    const QByteArray s = sql.toUtf8();
    char *err = nullptr;
    if (sqlite3_exec(db_, s.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : "error");
        sqlite3_free(err);
        throw EngineError(QStringLiteral("Table %1: %2").arg(shown_, msg));
    }
}

Stmt::Stmt(Db &db, const QString &sql) : db_(&db)
{
    const QByteArray s = sql.toUtf8();
    rc_ = sqlite3_prepare_v3(db.handle(), s.constData(), int(s.size()), SQLITE_PREPARE_PERSISTENT,
                             &st_, nullptr);
    if (rc_ != SQLITE_OK)
        db.fail(QStringLiteral("Cannot read table"));
}

Stmt::~Stmt()
{
    sqlite3_finalize(st_);
}

Stmt::Stmt(Stmt &&o) noexcept
    : db_(o.db_), st_(std::exchange(o.st_, nullptr)), rc_(o.rc_)
{
}

Stmt &Stmt::operator=(Stmt &&o) noexcept
{
    if (this != &o) {
        sqlite3_finalize(st_);
        db_ = o.db_;
        st_ = std::exchange(o.st_, nullptr);
        rc_ = o.rc_;
    }
    return *this;
}

void Stmt::bind(int i, const QVariant &v)
{
    int rc = SQLITE_OK;
    if (!v.isValid() || v.isNull()) {
        rc = sqlite3_bind_null(st_, i);
    } else {
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(st_, i, v.toLongLong());
            break;
        case QMetaType::Double:
            rc = sqlite3_bind_double(st_, i, v.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_blob64(st_, i, b.constData(), sqlite3_uint64(b.size()),
                                     SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray t = v.toString().toUtf8();
            rc = sqlite3_bind_text64(st_, i, t.constData(), sqlite3_uint64(t.size()),
                                     SQLITE_TRANSIENT, SQLITE_UTF8);
        }
        }
    }
    if (rc != SQLITE_OK)
        db_->fail(QStringLiteral("Cannot bind a value"));
}

void Stmt::bindAll(const QVariantList &values, int first)
{
    for (int i = 0; i < values.size(); ++i)
        bind(first + i, values[i]);
}

bool Stmt::step()
{
    rc_ = sqlite3_step(st_);
    if (rc_ == SQLITE_ROW)
        return true;
    const int rc = rc_;
    sqlite3_reset(st_);
    if (rc == SQLITE_DONE)
        return false;
    rc_ = rc;
    db_->fail(QStringLiteral("Cannot read or write table"));
}

void Stmt::reset()
{
    if (st_) {
        sqlite3_reset(st_);
        sqlite3_clear_bindings(st_);
    }
}

int Stmt::columnCount() const
{
    return sqlite3_column_count(st_);
}

QVariant Stmt::column(int i) const
{
    switch (sqlite3_column_type(st_, i)) {
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(st_, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st_, i));
    case SQLITE_BLOB: {
        const void *p = sqlite3_column_blob(st_, i);
        return QVariant(QByteArray(static_cast<const char *>(p), sqlite3_column_bytes(st_, i)));
    }
    default: {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(st_, i));
        return QVariant(QString::fromUtf8(p, sqlite3_column_bytes(st_, i)));
    }
    }
}

qint64 Stmt::columnInt64(int i) const
{
    return sqlite3_column_int64(st_, i);
}

QString Stmt::columnName(int i) const
{
    return QString::fromUtf8(sqlite3_column_name(st_, i));
}

Transaction::Transaction(Db &db) : db_(db)
{
    db_.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction()
{
    if (!done_)
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    db_.exec(QStringLiteral("COMMIT"));
    done_ = true;
}

QString quoteIdent(const QString &name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

} // namespace sqlite
