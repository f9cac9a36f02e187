#include "datasetimpl.h"
#include "rowstore.h"

#include <QFileInfo>

namespace {

struct OpenedFile {
    std::shared_ptr<sqlite::Db> db;
    QString table;
    Columns columns;
};

// A missing file, or one that is not a table of ours, is an error naming the file; it is
// opened without SQLITE_OPEN_CREATE, so nothing is ever created or repaired.
OpenedFile openTableFile(const QString &folder, const QString &name)
{
    QString shown, base;
    const QString path = tableFilePath(folder, name, &shown, &base);
    if (!QFileInfo(path).isFile())
        throw EngineError(QStringLiteral("Cannot open table %1: the file does not exist").arg(shown));
    OpenedFile f;
    f.db = std::make_shared<sqlite::Db>(path, shown);
    f.columns = readSchema(*f.db, base);
    f.table = base;
    // A rollback journal keeps the file itself whole between posts (the backup copies it).
    f.db->exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    return f;
}

} // namespace

Table::Table(QString componentName, QString tableName)
    : DataSet(std::move(componentName)), tableName_(std::move(tableName))
{
}

void Table::doOpen()
{
    OpenedFile f = openTableFile(databaseName_, tableName_);
    RowStore::Layout layout;
    layout.db = f.db;
    layout.table = f.table;
    layout.tableColumns = f.columns;
    layout.columns = f.columns;
    for (size_t i = 0; i < f.columns.size(); ++i)
        layout.source.push_back(int(i));
    layout.writable = true;
    d->be = std::make_unique<RowStore>(std::move(layout));
}

void Table::emptyTable()
{
    if (active())
        throw EngineError(QStringLiteral("Cannot perform this operation on an open dataset"));
    OpenedFile f = openTableFile(databaseName_, tableName_);
    sqlite::Transaction tx(*f.db);
    f.db->exec(QStringLiteral("DELETE FROM %1").arg(sqlite::quoteIdent(f.table)));
    tx.commit();
}

Query::Query(QString componentName) : DataSet(std::move(componentName)) {}

void Query::doOpen()
{
    const QString text = sqlText();
    if (text.trimmed().isEmpty())
        throw EngineError(QStringLiteral("No SQL statement available"));
    const SelectStatement statement(text);
    OpenedFile f = openTableFile(QString(), statement.tableName());
    const CompiledSelect sel = statement.compile(f.columns);
    if (!sel.plain) {
        d->be = std::make_unique<MemoryRows>(*f.db, sel);
        return;
    }
    RowStore::Layout layout;
    layout.db = f.db;
    layout.table = f.table;
    layout.tableColumns = f.columns;
    for (const OutputColumn &oc : sel.columns) {
        Column c = f.columns[size_t(oc.source)];
        c.name = oc.name;
        c.required = c.primaryKey = false;
        layout.columns.push_back(c);
        layout.source.push_back(oc.source);
    }
    layout.where = sel.where;
    layout.orderBy = sel.orderBy;
    d->be = std::make_unique<RowStore>(std::move(layout));
}
