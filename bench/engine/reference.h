#pragma once
// The reference side of the benchmark: the same work done with the SQLite C API directly.
#include <QString>
#include <QVariantList>

struct sqlite3;

class Reference {
public:
    explicit Reference(const QString &file);
    ~Reference();
    Reference(const Reference &) = delete;
    Reference &operator=(const Reference &) = delete;
    // Runs `sql` to the end, reading every column of every row; returns the row count.
    int run(const QString &sql, const QVariantList &params = {}, int maxRows = 1 << 30);
    // Steps `sql` one row at a time: the cost of one cursor move.
    double perRowNs(const QString &sql, int rows);

private:
    sqlite3 *db_ = nullptr;
};
