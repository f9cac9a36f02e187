// Every statement and filter the windows build, run as written, with the rows they must give.
#include "fixture.h"
#include "sqlite.h"

#include <QDir>

#include <algorithm>

namespace {

struct Case {
    const char *what;
    const char *sql;
    QStringList rows; // CSV cells joined by '|'
    bool anyOrder = false;
};

const QString archivio = QStringLiteral("%1|%2|%3");

QStringList sorted(QStringList l)
{
    l.sort();
    return l;
}

class DialectTest : public CatalogueTest {};

TEST_F(DialectTest, QuotedStatementsGiveTheirRows)
{
    const QByteArray allCriteria = QByteArrayLiteral(
        "Select Codice,Autore From archivio Where  Numero=1 and Codice=\"A1\" and Autore=\"Mina\" and "
        "Provenienza=\"Italia\" and Etichetta=\"PDU\" and Anno=\"1999\" and Supporto=\"CD\" and Tipo=\"Album\" and "
        "Tracks=\"12\" and Genere=\"Pop\" and Negozio=\"Ricordi\"");
    const std::vector<Case> cases = {
        {"qAnni: blank year groups as one row", "Select distinct  Anno from Archivio", {"", "1988", "1999", "2001"}},
        {"search by number", "Select Codice,Autore From archivio Where  Numero=12", {"C3|mina", "D4|Paolo Conte"}},
        {"search finds nothing", "Select Codice,Autore From archivio Where  Numero=7", {}},
        {"search with every column", "Select *  From archivio Where  Codice=\"B2\"",
         {"2|B2|Lucio Dalla|Cambio|||||||12.5|Pop|Feltrinelli|20|1999-04-01|1999||"}},
        {"exact, case-sensitive equality", "Select Codice,Autore From archivio Where  Autore=\"Mina\" and Genere=\"Pop\"",
         {"A1|Mina", "E5|Mina"}},
        {"numeric field against a quoted number", "Select Codice,Tracks From archivio Where  Tracks=\"12\"", {"A1|12"}},
        {"purchase year", "Select Codice From archivio Where  Anno=\"1999\"", {"A1", "B2"}},
        {"every criterion", allCriteria.constData(), {"A1|Mina"}},
        {"print all", "Select * From archivio", {}},
        {"lists on opening", "Select Numero,Codice,Autore From archivio Order by Codice",
         {"1|A1|Mina", "2|B2|Lucio Dalla", "12|C3|mina", "12|D4|Paolo Conte", "5|E5|Mina"}},
        {"lists by genre, two order fields",
         "Select Numero,Codice,Autore,Titolo From archivio Where Genere='Pop' Order by Autore,Titolo",
         {"2|B2|Lucio Dalla|Cambio", "5|E5|Mina|Attila", "1|A1|Mina|Studio Uno"}},
        {"lists by year", "Select Numero,Codice From archivio Where Anno='1999' Order by Codice", {"1|A1", "2|B2"}},
        {"lists by date range: start in, end out",
         "Select Numero,Codice,Data From archivio Where Data>='03/01/99' and Data<'04/01/99' Order by Codice",
         {"1|A1|1999-03-01"}},
        {"lists with three order fields",
         "Select Genere,Autore,Codice From archivio Order by Genere,Autore,Codice",
         {"Jazz|Paolo Conte|D4", "Pop|Lucio Dalla|B2", "Pop|Mina|A1", "Pop|Mina|E5", "Rock|mina|C3"}},
        {"lists with all fields ordered", "Select *  From archivio Order by Numero", {}},
        {"statistics, everything",
         "Select Negozio,Anno,Sum(Valore) as Spesa,Count(*) As Cd from archivio group by Anno,Negozio ",
         {"World of Music||7|1", "Ricordi|1988|1234.5|1", "Feltrinelli|1999|20|1", "Ricordi|1999|10.5|1",
          "Ricordi|2001|15.25|1"}, true},
        {"statistics, year and shop",
         "Select Negozio,Anno,Sum(Valore) as Spesa,Count(*) As Cd from archivio Where  Anno=\"1999\" and  Negozio=\"Ricordi\" group by Anno,Negozio ",
         {"Ricordi|1999|10.5|1"}},
        {"statistics, shop alone",
         "Select Negozio,Anno,Sum(Valore) as Spesa,Count(*) As Cd from archivio Where  Negozio=\"Ricordi\" group by Anno,Negozio ",
         {"Ricordi|1988|1234.5|1", "Ricordi|1999|10.5|1", "Ricordi|2001|15.25|1"}, true},
        {"chart: CDs per year", "Select Anno,Count(*) As Cd,Sum(Valore) as Spesa from archivio group by Anno ",
         {"|1|7", "1988|1|1234.5", "1999|2|30.5", "2001|1|15.25"}, true},
        {"chart: money per year", "Select Anno,Sum(Valore) as Spesa,Count(*) As Cd from archivio group by Anno ",
         {"|7|1", "1988|1234.5|1", "1999|30.5|2", "2001|15.25|1"}, true},
        {"chart: one shop",
         "Select Negozio,Anno,Sum(Valore) as Spesa,Count(*) As Cd from archivio Where Negozio=\"Ricordi\" group by Negozio,Anno ",
         {"Ricordi|1988|1234.5|1", "Ricordi|1999|10.5|1", "Ricordi|2001|15.25|1"}, true},
        {"keywords in any case", "select codice FROM ARCHIVIO where numero=12 ORDER BY codice", {"C3", "D4"}},
        {"Like with %", "Select Codice From archivio Where Autore Like 'M%' Order by Codice", {"A1", "E5"}},
        {"blank equals ''", "Select Codice From archivio Where Anno=''", {"D4"}},
        {"a signed number", "Select Codice From archivio Where Numero>-1 and Numero<2", {"A1"}},
        {"empty range strings find nothing", "Select Codice From archivio Where Data>='' and Data<'' Order by Codice", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Query q(QStringLiteral("q"));
        q.addSql(QString::fromUtf8(c.sql));
        ASSERT_NO_THROW(q.open()) << c.sql;
        const QStringList rows = rowsOf(q);
        if (QString::fromLatin1(c.what).startsWith(QLatin1String("print all"))
            || QString::fromLatin1(c.what).startsWith(QLatin1String("lists with all"))) {
            EXPECT_EQ(rows.size(), 5);
            EXPECT_EQ(q.fieldCount(), 18);
            continue;
        }
        EXPECT_EQ(c.anyOrder ? sorted(rows) : rows, c.anyOrder ? sorted(c.rows) : c.rows);
    }
}

TEST_F(DialectTest, ColumnsAreNamedAsTheStatementNamesThem)
{
    Query q(QStringLiteral("q"));
    q.addSql(QStringLiteral("Select Negozio,Anno,Sum(Valore) as Spesa,Count(*) As Cd from archivio group by Anno,Negozio "));
    q.open();
    ASSERT_EQ(q.fieldCount(), 4);
    EXPECT_EQ(q.field(2)->fieldName(), QStringLiteral("Spesa"));
    EXPECT_EQ(q.field(3)->fieldName(), QStringLiteral("Cd"));
    EXPECT_EQ(q.fieldByName(QStringLiteral("cd"))->dataType(), FieldType::Integer);
    double total = 0;
    for (q.first(); !q.eof(); q.next())
        total += q.fieldByName(QStringLiteral("Spesa"))->asFloat();
    EXPECT_DOUBLE_EQ(total, 1287.25);
}

TEST_F(DialectTest, FiltersOfTheWindows)
{
    Table c(QStringLiteral("c"), QStringLiteral("canzoni.db"));
    c.open();
    c.setFilter(QStringLiteral("Codice='A1'"));
    c.setFiltered(true);
    EXPECT_EQ(c.recordCount(), 3);
    QStringList names;
    for (c.first(); !c.eof(); c.next())
        names << c.fieldByName(QStringLiteral("Nome"))->asString();
    EXPECT_EQ(names, QStringList({"A1 brano 1", "A1 brano 3", "A1 brano 5"})); // natural order
    c.setFilter(QStringLiteral("Codice=''")); // an empty CD table: no track matches
    EXPECT_TRUE(c.isEmpty());

    Table a(QStringLiteral("a"), QStringLiteral("archivio.db"));
    a.setFilter(QStringLiteral("Anno<='1988'"));
    a.setFiltered(true);
    a.open();
    QStringList codes;
    for (a.first(); !a.eof(); a.next())
        codes << a.fieldByName(QStringLiteral("Codice"))->asString();
    EXPECT_EQ(codes, QStringList({"C3", "D4"})); // a blank year sorts before 1988
}

TEST_F(DialectTest, TwoDigitYearsUseThe1950To2049Window)
{
    Table a(QStringLiteral("a"), QStringLiteral("archivio.db"));
    a.open();
    addRecord(a, {"Codice", "F6", "Data", "31/12/2049"});
    addRecord(a, {"Codice", "G7", "Data", "01/01/1950"});
    Query q(QStringLiteral("q"));
    q.addSql(QStringLiteral("Select Codice From archivio Where Data>='12/31/49' and Data<'01/01/2050'"));
    q.open();
    EXPECT_EQ(rowsOf(q), QStringList({"F6"}));
    q.close();
    q.clearSql();
    q.addSql(QStringLiteral("Select Codice From archivio Where Data='01/01/50'"));
    q.open();
    EXPECT_EQ(rowsOf(q), QStringList({"G7"}));
}

// Regression: a NULL text sorted before an empty one, so "Order by Anno,Codice" put B before A.
TEST_F(DialectTest, BlankAndEmptyTextTieInOrderBy)
{
    {
        sqlite::Db db(QStringLiteral("archivio.db"), QStringLiteral("archivio.db"));
        db.exec(QStringLiteral("INSERT INTO archivio (Codice, Anno, Autore) VALUES ('A0', '', ''), ('B0', NULL, NULL)"));
    }
    const std::vector<Case> cases = {
        {"plain, two fields", "Select Codice From archivio Where Titolo='' Order by Anno,Codice", {"A0", "B0"}},
        {"plain, by alias", "Select Codice,Autore as Chi From archivio Where Titolo='' Order by Chi,Codice",
         {"A0|", "B0|"}},
        {"plain, no condition", "Select Codice From archivio Order by Anno,Autore,Codice",
         {"A0", "B0", "D4", "C3", "B2", "A1", "E5"}},
        {"grouped, by a field not shown", "Select Anno,Count(*) As Cd From archivio group by Anno Order by Anno",
         {"|3", "1988|1", "1999|2", "2001|1"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Query q(QStringLiteral("q"));
        q.addSql(QString::fromUtf8(c.sql));
        ASSERT_NO_THROW(q.open());
        EXPECT_EQ(rowsOf(q), c.rows);
    }
}

// Regression: a selection without Order by came in insertion order instead of by Codice.
TEST_F(DialectTest, SelectionWithoutOrderComesInCodeOrder)
{
    {
        sqlite::Db db(QStringLiteral("archivio.db"), QStringLiteral("archivio.db"));
        db.exec(QStringLiteral("INSERT INTO archivio (Codice, Numero) VALUES ('0Z', 99), ('AA', 98)"));
    }
    Query q(QStringLiteral("q"));
    q.addSql(QStringLiteral("Select Codice From archivio"));
    q.open();
    QStringList expected = rowsOf(q);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rowsOf(q), expected);
    EXPECT_EQ(rowsOf(q).value(0), QStringLiteral("0Z"));
}

struct Bad {
    const char *sql;
    const char *textHas; // part of the error text: what was not understood and where
};

TEST_F(DialectTest, HostileOrForeignStatementsAreRefusedAndChangeNothing)
{
    const QByteArray before = fileBytes(QStringLiteral("archivio.db"));
    const std::vector<Bad> bad = {
        {"Select Codice From archivio Where  Codice=\"A\"1\"", "position"},
        {"Select Codice From archivio Where Genere='Rock'n'roll' Order by Codice", "position"},
        {"Select * From archivio Where  Numero=1; Drop table archivio", "\";\""},
        {"Select * From archivio Where  Codice=\"x\"; delete from archivio", "\";\""},
        {"Drop table archivio", "Select expected"},
        {"Delete from archivio", "Select expected"},
        {"Update archivio set Numero=1", "Select expected"},
        {"Select * From archivio Where  Negozio=\"x\" or Numero=1", "\"or\""},
        {"Select Codice From archivio Where  Numero=abc", "field 'abc' not found"},
        {"Select Codice From archivio Where  Tracks=\"dodici\"", "not a number"},
        {"Select Codice From archivio Where Data>='31/31/99'", "not a valid date"},
        {"Select Codice From archivio Where Codice='A1", "no closing"},
        {"Select Titolo,Count(*) As Cd From archivio group by Anno", "neither grouped nor summed"},
        {"Select Nessuno From archivio", "field 'Nessuno' not found"},
        {"Select Codice From nessuna", "nessuna.db"},
    };
    for (const Bad &b : bad) {
        SCOPED_TRACE(b.sql);
        Query q(QStringLiteral("q"));
        q.addSql(QString::fromUtf8(b.sql));
        try {
            q.open();
            ADD_FAILURE() << "accepted";
        } catch (const EngineError &e) {
            EXPECT_TRUE(e.text().contains(QLatin1String(b.textHas))) << qPrintable(e.text());
        }
        EXPECT_FALSE(q.active());
    }
    EXPECT_EQ(fileBytes(QStringLiteral("archivio.db")), before);
}

TEST_F(DialectTest, MalformedFilterKeepsTheRowsAndSaysWhere)
{
    Table c(QStringLiteral("c"), QStringLiteral("canzoni.db"));
    c.open();
    c.setFilter(QStringLiteral("Codice='B2'"));
    c.setFiltered(true);
    try {
        c.setFilter(QStringLiteral("Codice='O'Brien'"));
        FAIL() << "accepted";
    } catch (const EngineError &e) {
        EXPECT_TRUE(e.text().startsWith(QLatin1String("Filter error at position"))) << qPrintable(e.text());
    }
    EXPECT_EQ(c.recordCount(), 1);
    EXPECT_EQ(c.filter(), QStringLiteral("Codice='B2'"));
}

TEST_F(DialectTest, QueryErrorTextsAsUsersReadThem)
{
    Query q(QStringLiteral("qRicerca"));
    try {
        q.open();
        FAIL();
    } catch (const EngineError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("No SQL statement available"));
    }
    try {
        q.fieldByName(QStringLiteral("Codice"));
        FAIL();
    } catch (const EngineError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Field 'Codice' not found"));
    }
    q.addSql(QStringLiteral("Select Codice"));
    q.addSql(QStringLiteral("From archivio Where Numero=5"));
    q.open();
    EXPECT_EQ(rowsOf(q), QStringList({"E5"}));
    EXPECT_TRUE(q.readOnly());
    EXPECT_THROW(q.edit(), EngineError);
}

} // namespace

namespace {

// Mangled statements (characters dropped, doubled, swapped or replaced by the dialect's own
// delimiters) either run or fail with an EngineError: no crash, no other exception, no write.
TEST_F(DialectTest, MangledStatementsNeverCrashOrWrite)
{
    const QStringList seeds = {
        QStringLiteral("Select Negozio,Anno,Sum(Valore) as Spesa,Count(*) As Cd from archivio Where  Anno=\"1999\" and  Negozio=\"Ricordi\" group by Anno,Negozio "),
        QStringLiteral("Select Numero,Codice,Autore From archivio Where Data>='03/01/99' and Data<'04/01/99' Order by Codice,Autore,Titolo"),
        QStringLiteral("Select distinct  Anno from Archivio"),
        QStringLiteral("Select *  From archivio Where  Numero=-12 and Tracks=\"12.5\" and Autore Like 'M%'"),
    };
    const QString noise = QStringLiteral("'\";,()*=<>- .%_aZ09\\");
    const QByteArray before = fileBytes(QStringLiteral("archivio.db"));
    quint32 r = 12345;
    auto rnd = [&r](int n) {
        r = r * 1103515245u + 12345u;
        return int((r >> 8) % quint32(n));
    };
    int ran = 0;
    for (int i = 0; i < 1500; ++i) {
        QString s = seeds[rnd(int(seeds.size()))];
        for (int k = 1 + rnd(3); k > 0; --k) {
            const int at = rnd(int(s.size()));
            switch (rnd(4)) {
            case 0: s.remove(at, 1 + rnd(4)); break;
            case 1: s.insert(at, s.mid(rnd(int(s.size())), 1 + rnd(6))); break;
            case 2: s[at] = noise[rnd(int(noise.size()))]; break;
            default: s.insert(at, noise[rnd(int(noise.size()))]); break;
            }
        }
        Query q(QStringLiteral("q"));
        q.addSql(s);
        try {
            q.open();
            for (int row = 0; row < q.recordCount(); ++row)
                for (int c = 0; c < q.fieldCount(); ++c)
                    (void)q.displayTextAt(row, c);
            ++ran;
        } catch (const EngineError &) {
        } catch (...) {
            ADD_FAILURE() << "unexpected exception for: " << s.toStdString();
        }
    }
    EXPECT_GT(ran, 0);
    EXPECT_EQ(fileBytes(QStringLiteral("archivio.db")), before);
}

} // namespace
