#include "catalogo.h"

#include "dataset.h"
#include "demodata.h"
#include "schema.h"
#include "sqlite.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace catalogo {

namespace {

struct ColumnDef {
    const char *name;
    FieldType type;
    int size;
};

const ColumnDef archivioColumns[] = {
    {"Numero", FieldType::Integer, 0},   {"Codice", FieldType::Text, 10},
    {"Autore", FieldType::Text, 33},     {"Titolo", FieldType::Text, 43},
    {"Durata", FieldType::Text, 20},     {"Provenienza", FieldType::Text, 50},
    {"Etichetta", FieldType::Text, 50},  {"AnnoP", FieldType::Text, 4},
    {"Supporto", FieldType::Text, 20},   {"Tipo", FieldType::Text, 20},
    {"Tracks", FieldType::Float, 0},     {"Genere", FieldType::Text, 20},
    {"Negozio", FieldType::Text, 40},    {"Valore", FieldType::Float, 0},
    {"Data", FieldType::Date, 0},        {"Anno", FieldType::Text, 4},
    {"Note", FieldType::Memo, 0},        {"Copertina", FieldType::Picture, 0},
};

const ColumnDef canzoniColumns[] = {
    {"Codice", FieldType::Text, 10}, {"Nome", FieldType::Text, 40},
    {"Tempo", FieldType::Text, 5},   {"Versione", FieldType::Text, 40},
    {"Note", FieldType::Text, 40},   {"Testo", FieldType::Memo, 0},
};

const char *const lookupFiles[] = {"autori.db", "et.db", "prov.db", "sup.db", "tipo.db", "gen.db", "neg.db"};

template <size_t N>
QString columnList(const ColumnDef (&cols)[N], const char *keyColumn)
{
    QStringList parts;
    for (const ColumnDef &c : cols) {
        QString p = QStringLiteral("%1 %2").arg(QLatin1String(c.name), declaredType(c.type, c.size));
        if (keyColumn && qstrcmp(c.name, keyColumn) == 0)
            p += QStringLiteral(" NOT NULL PRIMARY KEY");
        parts << p;
    }
    return parts.join(QStringLiteral(", "));
}

void makeTable(const QString &dir, const QString &file, const QStringList &statements)
{
    sqlite::Db db(QDir(dir).filePath(file), file, true);
    db.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    sqlite::Transaction tx(db);
    for (const QString &s : statements)
        db.exec(s);
    tx.commit();
}

} // namespace

QStringList tableFiles()
{
    QStringList files{QStringLiteral("archivio.db"), QStringLiteral("canzoni.db")};
    for (const char *f : lookupFiles)
        files << QLatin1String(f);
    return files;
}

void createCatalogue(const QString &dir)
{
    QDir d(dir);
    for (const QString &f : tableFiles())
        if (QFileInfo::exists(d.filePath(f)))
            throw EngineError(QStringLiteral("The folder %1 already holds the table %2: nothing was created")
                                  .arg(QDir::toNativeSeparators(d.absolutePath()), f));
    if (!d.mkpath(QStringLiteral(".")))
        throw EngineError(QStringLiteral("Cannot create the folder %1").arg(dir));
    makeTable(dir, QStringLiteral("archivio.db"),
              {QStringLiteral("CREATE TABLE archivio (%1)").arg(columnList(archivioColumns, "Codice"))});
    // Tracks follow their CD by Codice: the index makes the track filter cheap.
    makeTable(dir, QStringLiteral("canzoni.db"),
              {QStringLiteral("CREATE TABLE canzoni (%1)").arg(columnList(canzoniColumns, nullptr)),
               QStringLiteral("CREATE INDEX canzoni_Codice ON canzoni (Codice)")});
    for (const char *f : lookupFiles) {
        const QString table = QFileInfo(QLatin1String(f)).completeBaseName();
        // The first row is reserved: it stays blank, the lookup editor warns never to write there.
        makeTable(dir, QLatin1String(f),
                  {QStringLiteral("CREATE TABLE %1 (Nome %2)").arg(table, declaredType(FieldType::Text, 50)),
                   QStringLiteral("INSERT INTO %1 (Nome) VALUES (NULL)").arg(table)});
    }
}

void fillDemo(const QString &dir, const DemoOptions &options)
{
    createCatalogue(dir);
    writeDemo(dir, options);
}

struct TempCatalogue::Impl {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
};

TempCatalogue::TempCatalogue(const DemoOptions *demo) : d(std::make_unique<Impl>())
{
    if (!d->dir.isValid())
        throw EngineError(QStringLiteral("Cannot create a temporary folder"));
    if (demo)
        fillDemo(d->dir.path(), *demo);
    else
        createCatalogue(d->dir.path());
    QDir::setCurrent(d->dir.path());
}

TempCatalogue::~TempCatalogue()
{
    QDir::setCurrent(d->previous);
}

QString TempCatalogue::path() const
{
    return d->dir.path();
}

} // namespace catalogo
