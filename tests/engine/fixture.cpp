#include "fixture.h"

#include "csv.h"

#include <QFile>

void addRecord(Table &t, const QStringList &nv)
{
    t.append();
    for (qsizetype i = 0; i + 1 < nv.size(); i += 2)
        t.fieldByName(nv[i])->setAsString(nv[i + 1]);
    t.post();
}

QStringList rowsOf(DataSet &ds)
{
    QStringList rows;
    for (int r = 0; r < ds.recordCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < ds.fieldCount(); ++c)
            cells << csvValue(ds.field(c)->dataType(), ds.valueAt(r, c));
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

QByteArray fileBytes(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Five CDs: two share Numero 12, "mina" differs from "Mina" only in case, D4 has no date.
void CatalogueTest::SetUp()
{
    cat = std::make_unique<catalogo::TempCatalogue>();
    Table a(QStringLiteral("a"), QStringLiteral("archivio.db"));
    a.open();
    addRecord(a, {"Numero", "1", "Codice", "A1", "Autore", "Mina", "Titolo", "Studio Uno",
                  "Provenienza", "Italia", "Etichetta", "PDU", "Supporto", "CD", "Tipo", "Album",
                  "Tracks", "12", "Genere", "Pop", "Negozio", "Ricordi", "Valore", "10,5",
                  "Data", "01/03/1999", "Anno", "1999"});
    addRecord(a, {"Numero", "2", "Codice", "B2", "Autore", "Lucio Dalla", "Titolo", "Cambio",
                  "Tracks", "12,5", "Genere", "Pop", "Negozio", "Feltrinelli", "Valore", "20",
                  "Data", "01/04/1999", "Anno", "1999"});
    addRecord(a, {"Numero", "12", "Codice", "C3", "Autore", "mina", "Titolo", "Rane",
                  "Tracks", "10", "Genere", "Rock", "Negozio", "Ricordi", "Valore", "1234,5",
                  "Data", "10/05/1988", "Anno", "1988"});
    addRecord(a, {"Numero", "12", "Codice", "D4", "Autore", "Paolo Conte", "Titolo", "Azzurro",
                  "Genere", "Jazz", "Negozio", "World of Music", "Valore", "7"});
    addRecord(a, {"Numero", "5", "Codice", "E5", "Autore", "Mina", "Titolo", "Attila",
                  "Genere", "Pop", "Negozio", "Ricordi", "Valore", "15,25", "Data", "03/02/2001",
                  "Anno", "2001"});
    Table c(QStringLiteral("c"), QStringLiteral("canzoni.db"));
    c.open();
    for (const char *code : {"A1", "B2", "A1", "E5", "A1"})
        addRecord(c, {"Codice", code, "Nome", QStringLiteral("%1 brano %2").arg(QLatin1String(code)).arg(c.recordCount() + 1)});
}
