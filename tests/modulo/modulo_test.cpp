// The data module as the windows use it: components by name, field sizes, the year query.
#include "catalogo.h"
#include "modulo.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ModuloTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cat = std::make_unique<catalogo::TempCatalogue>();
        dm = std::make_unique<Tdata>();
    }
    void openTables()
    {
        for (Table *t : {&dm->tArchivio, &dm->tCanzoni, &dm->tAutori, &dm->tEt, &dm->tProv, &dm->tSup,
                         &dm->tTipo, &dm->tGen, &dm->tNeg})
            t->open();
    }
    void addCd(const QString &codice, const QString &data = QString())
    {
        dm->tArchivio.append();
        dm->tArchivioCodice->setAsString(codice);
        if (!data.isEmpty()) {
            dm->tArchivioData->setAsString(data);
            dm->tArchivioAnno->setAsString(QString::number(dm->tArchivioData->asDate().year()));
        }
        dm->tArchivio.post();
    }
    QStringList years()
    {
        dm->qAnni.open();
        QStringList out;
        for (dm->qAnni.first(); !dm->qAnni.eof(); dm->qAnni.next())
            out << dm->qAnni.fieldByName(QStringLiteral("Anno"))->asString();
        dm->qAnni.close();
        return out;
    }
    std::unique_ptr<catalogo::TempCatalogue> cat;
    std::unique_ptr<Tdata> dm;
};

TEST_F(ModuloTest, EverythingIsClosedAtCreationAndBoundAsNamed)
{
    for (DataSet *ds : {static_cast<DataSet *>(&dm->tArchivio), static_cast<DataSet *>(&dm->qRicerca),
                        static_cast<DataSet *>(&dm->qAnni), static_cast<DataSet *>(&dm->tNeg)})
        EXPECT_FALSE(ds->active()) << qPrintable(ds->name());
    EXPECT_EQ(dm->dsArchvio.dataSet(), &dm->tArchivio);
    EXPECT_EQ(dm->dsArchvio.name(), QStringLiteral("dsArchvio"));
    EXPECT_EQ(dm->dsQuery.dataSet(), &dm->qRicerca);
    EXPECT_EQ(dm->dsAnni.dataSet(), &dm->qAnni);
    EXPECT_EQ(dm->dsGen.dataSet(), &dm->tGen);
    EXPECT_EQ(dm->qAnni.sqlText(), QStringLiteral("Select distinct  Anno from Archivio"));
    EXPECT_TRUE(dm->qRicerca.sql().isEmpty());
    EXPECT_EQ(dm->tArchivioCodice->displayWidth(), 7);
    EXPECT_EQ(dm->tArchivioNegozio->displayWidth(), 30);
    EXPECT_EQ(dm->tArchivioValore->displayFormat(), QStringLiteral("0,.00"));
    EXPECT_EQ(dm->tArchivio.fieldCount(), 18);
    EXPECT_EQ(dm->tCanzoni.fieldCount(), 6);
    EXPECT_EQ(dm->tArchivio.field(0), dm->tArchivioNumero);
    EXPECT_EQ(dm->tCanzoni.field(5), dm->tCanzoniTesto);
}

TEST_F(ModuloTest, FieldObjectsOutliveCloseAndFollowTheCurrentRecord)
{
    openTables();
    addCd(QStringLiteral("A1"));
    addCd(QStringLiteral("B2"));
    dm->tArchivio.close();
    EXPECT_THROW(dm->tArchivioCodice->asString(), EngineError);
    dm->tArchivio.open();
    EXPECT_EQ(dm->tArchivio.fieldByName(QStringLiteral("Codice")), dm->tArchivioCodice);
    dm->tArchivio.last();
    EXPECT_EQ(dm->tArchivioCodice->asString(), QStringLiteral("B2"));
}

TEST_F(ModuloTest, LookupValuesAreCutToTheWrittenSizes)
{
    openTables();
    const QString prov30 = QStringLiteral("Repubblica Federale di Germani"); // 30 characters
    const QString et45 = QStringLiteral("Deutsche Grammophon Gesellschaft Hamburg 1898");
    ASSERT_EQ(prov30.size(), 30);
    ASSERT_EQ(et45.size(), 45);
    dm->tProv.append();
    dm->tProv.fieldByName(QStringLiteral("Nome"))->setAsString(prov30);
    dm->tProv.post();
    EXPECT_EQ(dm->tProv.fieldByName(QStringLiteral("Nome"))->asString(), prov30); // the list keeps it whole
    dm->tArchivio.append();
    dm->tArchivioCodice->setAsString(QStringLiteral("A1"));
    dm->tArchivioProvenienza->setAsString(dm->tProv.fieldByName(QStringLiteral("Nome"))->asString());
    dm->tArchivioEtichetta->setAsString(et45);
    dm->tArchivio.post();
    dm->tArchivio.close();
    dm->tArchivio.open();
    EXPECT_EQ(dm->tArchivioProvenienza->asString(), prov30.left(20));
    EXPECT_EQ(dm->tArchivioEtichetta->asString(), et45.left(35));
}

TEST_F(ModuloTest, NumeroMayRepeatButCodiceMayNot)
{
    openTables();
    addCd(QStringLiteral("A1"));
    dm->tArchivio.append();
    dm->tArchivioCodice->setAsString(QStringLiteral("A2"));
    dm->tArchivioNumero->setAsInteger(1);
    dm->tArchivio.post();
    dm->tArchivio.edit();
    dm->tArchivioNumero->setAsInteger(1);
    dm->tArchivio.post();
    dm->tArchivio.append();
    dm->tArchivioNumero->setAsInteger(1);
    EXPECT_THROW(dm->tArchivio.post(), EngineError); // no Codice
    dm->tArchivioCodice->setAsString(QStringLiteral("A1"));
    EXPECT_THROW(dm->tArchivio.post(), EngineError); // Codice taken
    EXPECT_EQ(dm->tArchivio.state(), DataSetState::Insert);
    dm->tArchivio.cancel();
    EXPECT_EQ(dm->tArchivio.recordCount(), 2);
}

TEST_F(ModuloTest, YearQueryOverEmptyAndUndatedCatalogues)
{
    openTables();
    EXPECT_TRUE(years().isEmpty());
    addCd(QStringLiteral("A1"));
    addCd(QStringLiteral("B2"));
    EXPECT_EQ(years(), QStringList({QString()}));
    addCd(QStringLiteral("C3"), QStringLiteral("15/06/1997"));
    addCd(QStringLiteral("D4"), QStringLiteral("01/01/1997"));
    EXPECT_EQ(years(), QStringList({QString(), QStringLiteral("1997")}));
}

TEST_F(ModuloTest, PriceShowsWithThousandsAndTwoDecimals)
{
    openTables();
    dm->tArchivio.append();
    dm->tArchivioCodice->setAsString(QStringLiteral("A1"));
    dm->tArchivioValore->setAsFloat(1234.5);
    dm->tArchivioData->setAsDate(QDate(2003, 7, 4));
    dm->tArchivio.post();
    EXPECT_EQ(dm->tArchivioValore->displayText(), QStringLiteral("1.234,50"));
    EXPECT_EQ(dm->tArchivioData->displayText(), QStringLiteral("04/07/2003"));
}

} // namespace
