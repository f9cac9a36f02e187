// Opening, navigation, filters, locate, observers and reading fields, as the windows use them.
#include "fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

class DataSetTest : public CatalogueTest {
protected:
    Table a{QStringLiteral("tArchivio"), QStringLiteral("archivio.db")};
    Table c{QStringLiteral("tCanzoni"), QStringLiteral("canzoni.db")};
    QString code() const { return a.fieldByName(QStringLiteral("Codice"))->asString(); }
};

struct Recorder : DataSetObserver {
    QList<DataEvent> events;
    void dataSetEvent(DataSet *, DataEvent e, Field *) override { events << e; }
};

TEST_F(DataSetTest, BrowsesInKeyOrderWithEndAndBeginOfData)
{
    a.open();
    EXPECT_EQ(a.recordCount(), 5);
    EXPECT_TRUE(a.bof());
    EXPECT_EQ(code(), QStringLiteral("A1"));
    a.next();
    EXPECT_FALSE(a.bof());
    EXPECT_EQ(code(), QStringLiteral("B2"));
    a.last();
    EXPECT_TRUE(a.eof());
    EXPECT_EQ(code(), QStringLiteral("E5"));
    a.next();
    EXPECT_EQ(code(), QStringLiteral("E5"));
    a.prior();
    EXPECT_FALSE(a.eof());
    EXPECT_EQ(code(), QStringLiteral("D4"));
    a.first();
    a.prior();
    EXPECT_TRUE(a.bof());
    EXPECT_EQ(a.recNo(), 0);
    QStringList seen;
    for (a.first(); !a.eof(); a.next())
        seen << code();
    EXPECT_EQ(seen, QStringList({"A1", "B2", "C3", "D4", "E5"}));
}

TEST_F(DataSetTest, FilterIsHonouredByMovesAndCountAndCanBeSwitchedOff)
{
    c.open();
    EXPECT_EQ(c.recordCount(), 5);
    c.setFilter(QStringLiteral("Codice='A1'"));
    EXPECT_EQ(c.recordCount(), 5); // text alone does nothing until filtering is on
    c.setFiltered(true);
    EXPECT_EQ(c.recordCount(), 3);
    c.last();
    EXPECT_EQ(c.fieldByName(QStringLiteral("Nome"))->asString(), QStringLiteral("A1 brano 5"));
    c.setFilter(QStringLiteral("Codice='E5'"));
    EXPECT_EQ(c.recordCount(), 1);
    EXPECT_EQ(c.fieldByName(QStringLiteral("Nome"))->asString(), QStringLiteral("E5 brano 4"));
    c.setFilter(QStringLiteral("Codice='Z9'"));
    EXPECT_TRUE(c.eof() && c.bof() && c.isEmpty());
    EXPECT_TRUE(c.fieldByName(QStringLiteral("Nome"))->isNull());
    c.setFiltered(false);
    EXPECT_EQ(c.recordCount(), 5);
    // The filter survives close and open.
    c.setFiltered(true);
    c.close();
    c.setFilter(QStringLiteral("Codice='B2'"));
    c.open();
    EXPECT_EQ(c.recordCount(), 1);
}

TEST_F(DataSetTest, LocateIsExactAndCaseSensitive)
{
    a.open();
    EXPECT_TRUE(a.locate(QStringLiteral("Autore"), QStringLiteral("mina")));
    EXPECT_EQ(code(), QStringLiteral("C3"));
    EXPECT_FALSE(a.locate(QStringLiteral("Autore"), QStringLiteral("Min")));
    EXPECT_EQ(code(), QStringLiteral("C3")); // no match: stays where it was
    EXPECT_TRUE(a.locate(QStringLiteral("Autore"), QStringLiteral("Mina")));
    EXPECT_EQ(code(), QStringLiteral("A1")); // the first in browse order
    EXPECT_TRUE(a.locate(QStringLiteral("Numero"), 12));
    EXPECT_EQ(code(), QStringLiteral("C3"));
    EXPECT_THROW(a.locate(QStringLiteral("Nessuno"), 1), EngineError);
}

TEST_F(DataSetTest, FieldsReadAsTextNumbersAndDatesInItalian)
{
    a.open();
    ASSERT_TRUE(a.locate(QStringLiteral("Codice"), QStringLiteral("C3")));
    Field *valore = a.fieldByName(QStringLiteral("Valore"));
    EXPECT_DOUBLE_EQ(valore->asFloat(), 1234.5);
    EXPECT_EQ(valore->asString(), QStringLiteral("1234,5"));
    valore->setDisplayFormat(QStringLiteral("0,.00"));
    EXPECT_EQ(valore->displayText(), QStringLiteral("1.234,50"));
    EXPECT_EQ(a.displayTextAt(2, valore->index()), QStringLiteral("1.234,50"));
    Field *data = a.fieldByName(QStringLiteral("Data"));
    EXPECT_EQ(data->asDate(), QDate(1988, 5, 10));
    EXPECT_EQ(data->displayText(), QStringLiteral("10/05/1988"));
    EXPECT_EQ(a.field(0)->asInteger(), 12);
    EXPECT_EQ(a.fieldByName(QStringLiteral("tracks"))->asInteger(), 10);
    EXPECT_EQ(a.valueAt(0, 1).toString(), QStringLiteral("A1"));
    EXPECT_EQ(a.valueAt(3, data->index()), QVariant()); // D4 has no date
    EXPECT_EQ(a.fieldByName(QStringLiteral("Note"))->displayText(), QStringLiteral("(Memo)"));
}

TEST_F(DataSetTest, PictureAndMemoTravelThroughFiles)
{
    a.open();
    const QByteArray bmp = catalogo::makeBmp(8, 8, 7);
    {
        QFile f(QStringLiteral("in.bmp"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bmp);
    }
    a.edit();
    a.fieldByName(QStringLiteral("Copertina"))->loadFromFile(QStringLiteral("in.bmp"));
    a.fieldByName(QStringLiteral("Note"))->setAsString(QStringLiteral("riga uno\nriga due, città"));
    a.post();
    a.close();
    a.open();
    EXPECT_EQ(a.fieldByName(QStringLiteral("Copertina"))->asBytes(), bmp);
    EXPECT_EQ(a.fieldByName(QStringLiteral("Copertina"))->displayText(), QStringLiteral("(GRAPHIC)"));
    a.fieldByName(QStringLiteral("Note"))->saveToFile(QStringLiteral("note.txt"));
    EXPECT_EQ(fileBytes(QStringLiteral("note.txt")), QByteArray("riga uno\r\nriga due, citt\xe0"));
    EXPECT_THROW(a.fieldByName(QStringLiteral("Copertina"))->loadFromFile(QStringLiteral("assente.bmp")), EngineError);
}

TEST_F(DataSetTest, ObserversFollowAndSuspendedControlsHearOneChangeAtTheEnd)
{
    DataSource ds(QStringLiteral("dsArchvio"), &a);
    Recorder r;
    ds.addObserver(&r);
    a.open();
    EXPECT_EQ(r.events.value(0), DataEvent::Opened);
    r.events.clear();
    a.next();
    EXPECT_EQ(r.events, QList<DataEvent>({DataEvent::RecordChanged}));
    r.events.clear();
    a.disableControls();
    a.disableControls();
    for (a.first(); !a.eof(); a.next()) {
    }
    a.enableControls();
    EXPECT_TRUE(r.events.isEmpty());
    a.enableControls();
    EXPECT_EQ(r.events, QList<DataEvent>({DataEvent::DataChanged}));
    r.events.clear();
    a.fieldByName(QStringLiteral("Titolo"))->setAsString(QStringLiteral("Nuovo"));
    EXPECT_TRUE(r.events.contains(DataEvent::StateChanged));
    EXPECT_TRUE(r.events.contains(DataEvent::FieldChanged));
    a.cancel();
    ds.setDataSet(nullptr);
    r.events.clear();
    a.next();
    EXPECT_TRUE(r.events.isEmpty());
}

TEST_F(DataSetTest, MissingOrForeignFilesAreErrorsNamingThemAndStayUntouched)
{
    Table t(QStringLiteral("t"), QStringLiteral("assente.db"));
    try {
        t.open();
        FAIL();
    } catch (const EngineError &e) {
        EXPECT_TRUE(e.text().contains(QLatin1String("assente.db"))) << qPrintable(e.text());
    }
    EXPECT_FALSE(QFile::exists(QStringLiteral("assente.db")));
    const QByteArray paradox = QByteArray("\x00\x08\x00\x00\x02\x00\x01\x00Paradox table", 21).repeated(200);
    {
        QFile f(QStringLiteral("vecchio.db"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(paradox);
    }
    Table old(QStringLiteral("old"), QStringLiteral("vecchio.db"));
    try {
        old.open();
        FAIL();
    } catch (const EngineError &e) {
        EXPECT_TRUE(e.text().contains(QLatin1String("vecchio.db"))) << qPrintable(e.text());
    }
    EXPECT_FALSE(old.active());
    EXPECT_EQ(fileBytes(QStringLiteral("vecchio.db")), paradox);
}

TEST_F(DataSetTest, ClosedDatasetsHaveNoRowsAndRefuseReads)
{
    EXPECT_EQ(a.recordCount(), 0);
    EXPECT_TRUE(a.eof());
    EXPECT_EQ(a.findField(QStringLiteral("Codice")), nullptr);
    a.open();
    Field *f = a.fieldByName(QStringLiteral("Codice"));
    EXPECT_EQ(f->size(), 10);
    EXPECT_TRUE(f->required());
    a.close();
    EXPECT_THROW(a.fieldByName(QStringLiteral("Codice")), EngineError);
    EXPECT_THROW(a.first(), EngineError);
}

TEST_F(DataSetTest, LookupTablesOpenByBareNameWithTheirReservedRow)
{
    Table neg(QStringLiteral("tNeg"), QStringLiteral("neg"));
    neg.open();
    EXPECT_EQ(neg.recordCount(), 1);
    EXPECT_TRUE(neg.fieldByName(QStringLiteral("Nome"))->isNull());
    for (const char *shop : {"Uno", "Due", "Tre"})
        addRecord(neg, {"Nome", shop});
    neg.setRecNo(2);
    neg.deleteRecord(); // a gap in the rowids: natural order must still hold on reopening
    neg.close();
    neg.open();
    QStringList names;
    for (neg.first(); !neg.eof(); neg.next())
        names << neg.fieldByName(QStringLiteral("Nome"))->asString();
    EXPECT_EQ(names, QStringList({"", "Uno", "Tre"}));
}

} // namespace
