#pragma once
// The columns of a stored table, read from the file, and how each engine type is
// declared in SQLite (so the catalogue creator and the reader agree).
#include "dataset.h"

#include <QString>

#include <vector>

namespace sqlite {
class Db;
}

struct Column {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;          // text width; 0 when unlimited
    bool required = false; // NOT NULL
    bool primaryKey = false;
    bool lazy() const { return type == FieldType::Memo || type == FieldType::Picture; }
};

using Columns = std::vector<Column>;

// "TEXT(10)", "INTEGER", "REAL", "DATE", "CLOB" (memo), "BLOB" (picture).
QString declaredType(FieldType type, int size);
Column columnFromDeclaration(const QString &name, const QString &declared);

// Reads the columns of `table` in `db`; throws EngineError when the file holds no such table
// (or is not a database at all).
Columns readSchema(sqlite::Db &db, const QString &table);

// Index of the column named `name` (any letter case), or -1.
int findColumn(const Columns &cols, const QString &name);

// Resolves a table name as the system gives it ("archivio.db", "neg", "Archivio") to a file
// path in `folder` (the current directory when empty), tolerating letter case on disk.
// shownName receives the name the user reads in error texts.
QString tableFilePath(const QString &folder, const QString &name, QString *shownName,
                      QString *baseName);
