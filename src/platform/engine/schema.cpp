#include "schema.h"

#include "sqlite.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

QString declaredType(FieldType type, int size)
{
    switch (type) {
    case FieldType::Text:
        return size > 0 ? QStringLiteral("TEXT(%1)").arg(size) : QStringLiteral("TEXT");
    case FieldType::Integer:
        return QStringLiteral("INTEGER");
    case FieldType::Float:
        return QStringLiteral("REAL");
    case FieldType::Date:
        return QStringLiteral("DATE");
    case FieldType::Memo:
        return QStringLiteral("CLOB"); // TEXT affinity: a memo "1.50" stays text
    case FieldType::Picture:
        return QStringLiteral("BLOB");
    }
    return QStringLiteral("TEXT");
}

Column columnFromDeclaration(const QString &name, const QString &declared)
{
    Column c;
    c.name = name;
    const QString t = declared.trimmed().toUpper();
    static const QRegularExpression sizeRe(QStringLiteral("\\(\\s*(\\d+)"));
    if (t.contains(QLatin1String("INT"))) {
        c.type = FieldType::Integer;
    } else if (t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("MEMO"))) {
        c.type = FieldType::Memo;
    } else if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("TEXT"))
               || t.isEmpty()) {
        c.type = FieldType::Text;
        const auto m = sizeRe.match(t);
        if (m.hasMatch())
            c.size = m.captured(1).toInt();
    } else if (t.contains(QLatin1String("BLOB")) || t.contains(QLatin1String("PICT"))
               || t.contains(QLatin1String("GRAPHIC"))) {
        c.type = FieldType::Picture;
    } else if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA"))
               || t.contains(QLatin1String("DOUB")) || t.contains(QLatin1String("NUM"))) {
        c.type = FieldType::Float;
    } else if (t.contains(QLatin1String("DATE"))) {
        c.type = FieldType::Date;
    }
    return c;
}

Columns readSchema(sqlite::Db &db, const QString &table)
{
    // Reading the catalogue first tells a database from garbage (SQLITE_NOTADB).
    sqlite::Stmt probe;
    try {
        probe = sqlite::Stmt(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type='table'"));
        bool found = false;
        while (probe.step())
            found = found || probe.column(0).toString().compare(table, Qt::CaseInsensitive) == 0;
        if (!found)
            throw EngineError(QStringLiteral("Cannot open table %1: the file holds no table %2")
                                  .arg(db.shownName(), table));
    } catch (const EngineError &e) {
        if (e.text().startsWith(QLatin1String("Cannot open table")))
            throw;
        throw EngineError(QStringLiteral("Cannot open table %1: the file is not a table this "
                                         "engine can open")
                              .arg(db.shownName()));
    }
    sqlite::Stmt info(db, QStringLiteral("PRAGMA table_info(%1)").arg(sqlite::quoteIdent(table)));
    Columns cols;
    while (info.step()) {
        Column c = columnFromDeclaration(info.column(1).toString(), info.column(2).toString());
        c.required = info.column(3).toInt() != 0;
        c.primaryKey = info.column(5).toInt() != 0;
        cols.push_back(c);
    }
    return cols;
}

int findColumn(const Columns &cols, const QString &name)
{
    for (size_t i = 0; i < cols.size(); ++i)
        if (cols[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QString tableFilePath(const QString &folder, const QString &name, QString *shownName,
                      QString *baseName)
{
    QString file = name.trimmed();
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".db");
    QDir dir(folder.isEmpty() ? QDir::currentPath() : folder);
    QString path = QFileInfo(file).isAbsolute() ? file : dir.filePath(file);
    if (!QFileInfo::exists(path)) {
        // Names come in any letter case ("Archivio"); files on disk are lower case.
        const QFileInfo fi(path);
        const QStringList entries = fi.dir().entryList(QDir::Files);
        for (const QString &e : entries)
            if (e.compare(fi.fileName(), Qt::CaseInsensitive) == 0) {
                path = fi.dir().filePath(e);
                break;
            }
    }
    if (shownName)
        *shownName = folder.isEmpty() && !QFileInfo(file).isAbsolute() ? file : path;
    if (baseName)
        *baseName = QFileInfo(file).completeBaseName();
    return path;
}
