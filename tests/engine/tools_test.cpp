// The catalogue creator, the demo generator and sonaro-sql, driven as a user runs them.
#include "csv.h"
#include "fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct ToolRun {
    int status;
    QByteArray out, err;
};

ToolRun runTool(const char *tool, const QStringList &args)
{
    QProcess p;
    p.start(QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(tool), args);
    p.waitForFinished(60000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

TEST(CatalogueTool, CreatesNineTablesAndRefusesAFolderHoldingAny)
{
    QTemporaryDir tmp;
    const QString dir = tmp.filePath(QStringLiteral("cat"));
    EXPECT_EQ(runTool("sonaro-catalogo", {QStringLiteral("create"), dir}).status, 0);
    for (const QString &f : catalogo::tableFiles())
        EXPECT_TRUE(QFile::exists(QDir(dir).filePath(f))) << qPrintable(f);
    QFile::remove(QDir(dir).filePath(QStringLiteral("archivio.db")));
    const QByteArray neg = fileBytes(QDir(dir).filePath(QStringLiteral("neg.db")));
    const ToolRun again = runTool("sonaro-catalogo", {QStringLiteral("create"), dir});
    EXPECT_EQ(again.status, 2);
    EXPECT_TRUE(again.err.contains("neg.db") || again.err.contains("canzoni.db")) << again.err.constData();
    EXPECT_FALSE(QFile::exists(QDir(dir).filePath(QStringLiteral("archivio.db"))));
    EXPECT_EQ(fileBytes(QDir(dir).filePath(QStringLiteral("neg.db"))), neg);
}

TEST(CatalogueTool, DemoIsFullAndTheSameForTheSameSeed)
{
    QTemporaryDir tmp;
    const QString one = tmp.filePath(QStringLiteral("uno")), two = tmp.filePath(QStringLiteral("due"));
    catalogo::fillDemo(one, {40, 7, 5, 4});
    EXPECT_EQ(runTool("sonaro-catalogo", {QStringLiteral("demo"), two, QStringLiteral("--cds"), QStringLiteral("40"),
                                          QStringLiteral("--seed"), QStringLiteral("7"), QStringLiteral("--tracks-per-cd"),
                                          QStringLiteral("5"), QStringLiteral("--covers-every"), QStringLiteral("4")})
                  .status,
              0);
    const QString all = QStringLiteral("Select * From archivio Order by Codice");
    EXPECT_EQ(runStatementToCsv(one, all), runStatementToCsv(two, all));
    const QByteArray covers = runStatementToCsv(one, QStringLiteral("Select Codice From archivio Where Copertina=''"));
    catalogo::TempCatalogue keepCwd; // Table opens by bare name: work inside `one`
    QDir::setCurrent(one);
    Table a(QStringLiteral("a"), QStringLiteral("archivio.db"));
    a.open();
    EXPECT_EQ(a.recordCount(), 40);
    int withCover = 0;
    for (a.first(); !a.eof(); a.next()) {
        const QByteArray bmp = a.fieldByName(QStringLiteral("Copertina"))->asBytes();
        withCover += bmp.startsWith("BM") ? 1 : 0;
        EXPECT_FALSE(a.fieldByName(QStringLiteral("Titolo"))->isNull());
    }
    EXPECT_EQ(withCover, 10);
    for (const char *lookup : {"autori", "et", "prov", "sup", "tipo", "gen", "neg"}) {
        Table t(QStringLiteral("t"), QLatin1String(lookup));
        t.open();
        EXPECT_GT(t.recordCount(), 3) << lookup;
        EXPECT_TRUE(t.fieldByName(QStringLiteral("Nome"))->isNull()) << "reserved first row of " << lookup;
    }
    Table c(QStringLiteral("c"), QStringLiteral("canzoni.db"));
    c.open();
    EXPECT_GE(c.recordCount(), 40 * 2);
    EXPECT_FALSE(c.fieldByName(QStringLiteral("Testo"))->isNull());
    EXPECT_FALSE(covers.isEmpty());
}

class SqlTool : public CatalogueTest {};

TEST_F(SqlTool, PrintsCsvWithHeaderAndPlainNumbers)
{
    const ToolRun r = runTool("sonaro-sql", {cat->path(), QStringLiteral("Select Codice as C,Tracks,Valore,Data,Note From archivio Where Numero<=2 Order by Codice")});
    EXPECT_EQ(r.status, 0) << r.err.constData();
    EXPECT_EQ(r.out, QByteArray("C,Tracks,Valore,Data,Note\r\nA1,12,10.5,1999-03-01,\r\nB2,12.5,20,1999-04-01,\r\n"));
    Table a(QStringLiteral("a"), QStringLiteral("archivio.db"));
    a.open();
    a.edit();
    a.fieldByName(QStringLiteral("Titolo"))->setAsString(QStringLiteral("Uno, \"due\"\ntre"));
    a.post();
    const ToolRun q = runTool("sonaro-sql", {cat->path(), QStringLiteral("Select Titolo From archivio Where Codice='A1'")});
    EXPECT_EQ(q.out, QByteArray("Titolo\r\n\"Uno, \"\"due\"\"\ntre\"\r\n"));
}

TEST_F(SqlTool, EngineErrorGoesToStderrWithStatusTwoAndNothingChanges)
{
    const QByteArray before = fileBytes(QStringLiteral("archivio.db"));
    const ToolRun r = runTool("sonaro-sql", {cat->path(), QStringLiteral("Select * From archivio; Delete From archivio")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, QByteArray("SQL error at position 23: \";\" is not understood\n"));
    EXPECT_EQ(fileBytes(QStringLiteral("archivio.db")), before);
}

} // namespace
