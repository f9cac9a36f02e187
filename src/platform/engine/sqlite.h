#pragma once
// Thin RAII layer over the SQLite C API: one connection per table file, prepared
// statements with QVariant binding, and the transaction guard that every post uses.
#include <QString>
#include <QVariant>
#include <QVariantList>

struct sqlite3;
struct sqlite3_stmt;

namespace sqlite {

class Db {
public:
    // Opens an existing file for reading and writing; never creates one.
    // create = true is for the catalogue creator only.
    Db(const QString &path, const QString &shownName, bool create = false);
    ~Db();
    Db(const Db &) = delete;
    Db &operator=(const Db &) = delete;

    sqlite3 *handle() const { return db_; }
    const QString &shownName() const { return shown_; }
    void exec(const QString &sql);
    [[noreturn]] void fail(const QString &what) const; // throws EngineError naming the file

private:
    sqlite3 *db_ = nullptr;
    QString shown_;
};

class Stmt {
public:
    Stmt() = default;
    Stmt(Db &db, const QString &sql);
    ~Stmt();
    Stmt(Stmt &&o) noexcept;
    Stmt &operator=(Stmt &&o) noexcept;
    Stmt(const Stmt &) = delete;
    Stmt &operator=(const Stmt &) = delete;

    bool valid() const { return st_ != nullptr; }
    void bind(int i, const QVariant &v); // 1-based
    void bindAll(const QVariantList &values, int first = 1);
    bool step();  // true while a row is available; resets itself when done
    void reset(); // releases the read lock; always call when leaving a statement early
    int columnCount() const;
    QVariant column(int i) const; // 0-based; NULL -> QVariant()
    qint64 columnInt64(int i) const;
    QString columnName(int i) const;
    int lastErrorCode() const { return rc_; }

private:
    Db *db_ = nullptr;
    sqlite3_stmt *st_ = nullptr;
    int rc_ = 0;
};

// Resets a statement when the scope ends, so no read lock outlives a lookup.
class StmtUse {
public:
    explicit StmtUse(Stmt &s) : s_(s) {}
    ~StmtUse() { s_.reset(); }
    StmtUse(const StmtUse &) = delete;
    StmtUse &operator=(const StmtUse &) = delete;

private:
    Stmt &s_;
};

// One post = one transaction; rolls back unless commit() was reached.
class Transaction {
public:
    explicit Transaction(Db &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Db &db_;
    bool done_ = false;
};

QString quoteIdent(const QString &name);

} // namespace sqlite
