// Editing rules: pending changes, posts that fail and stay pending, deletes, key rules.
#include "fixture.h"

#include <QFile>

namespace {

class EditingTest : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        a.open();
        c.open();
    }
    Table a{QStringLiteral("tArchivio"), QStringLiteral("archivio.db")};
    Table c{QStringLiteral("tCanzoni"), QStringLiteral("canzoni.db")};
    Field *f(const char *name) { return a.fieldByName(QLatin1String(name)); }
    QString code() { return f("Codice")->asString(); }
    int storedCount()
    {
        Table t(QStringLiteral("t"), QStringLiteral("archivio.db"));
        t.open();
        return t.recordCount();
    }
};

TEST_F(EditingTest, PostedInsertTakesItsPlaceInKeyOrder)
{
    a.append();
    f("Codice")->setAsString(QStringLiteral("BB"));
    f("Valore")->setAsString(QStringLiteral("9,90"));
    a.post();
    EXPECT_EQ(a.state(), DataSetState::Browse);
    EXPECT_EQ(code(), QStringLiteral("BB"));
    EXPECT_EQ(a.recNo(), 2);
    EXPECT_DOUBLE_EQ(f("Valore")->asFloat(), 9.9);
    a.prior();
    EXPECT_EQ(code(), QStringLiteral("B2"));
    EXPECT_EQ(storedCount(), 6);
}

TEST_F(EditingTest, AppendPostsAModifiedPendingInsertFirst)
{
    a.append();
    f("Codice")->setAsString(QStringLiteral("X1"));
    a.append(); // X1 is posted, a new blank record is pending
    EXPECT_EQ(a.state(), DataSetState::Insert);
    EXPECT_TRUE(f("Codice")->isNull());
    a.append(); // an unmodified pending insert is simply dropped
    f("Codice")->setAsString(QStringLiteral("X2"));
    a.post();
    EXPECT_EQ(storedCount(), 7);
}

TEST_F(EditingTest, MovingPostsModifiedChangesAndDropsUnmodifiedOnes)
{
    a.edit();
    f("Titolo")->setAsString(QStringLiteral("Nuovo titolo"));
    a.next(); // posts
    a.first();
    EXPECT_EQ(f("Titolo")->asString(), QStringLiteral("Nuovo titolo"));
    a.append();
    a.last(); // nothing typed: no record appears
    EXPECT_EQ(a.recordCount(), 5);
    a.edit();
    a.first();
    EXPECT_EQ(a.state(), DataSetState::Browse);
}

TEST_F(EditingTest, DuplicateOrEmptyCodeIsRefusedAndTheRecordStaysPending)
{
    a.append();
    f("Codice")->setAsString(QStringLiteral("C3"));
    f("Titolo")->setAsString(QStringLiteral("Doppione"));
    try {
        a.post();
        FAIL();
    } catch (const EngineError &e) {
        EXPECT_TRUE(e.text().startsWith(QLatin1String("Key violation"))) << qPrintable(e.text());
    }
    EXPECT_EQ(a.state(), DataSetState::Insert);
    EXPECT_EQ(f("Titolo")->asString(), QStringLiteral("Doppione"));
    f("Codice")->clear();
    try {
        a.post();
        FAIL();
    } catch (const EngineError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Field 'Codice' must have a value"));
    }
    EXPECT_EQ(a.state(), DataSetState::Insert);
    f("Codice")->setAsString(QStringLiteral("C4"));
    a.post();
    EXPECT_EQ(storedCount(), 6);
    // Editing an existing CD onto another's code fails the same way, nothing written.
    a.edit();
    f("Codice")->setAsString(QStringLiteral("A1"));
    EXPECT_THROW(a.post(), EngineError);
    EXPECT_EQ(a.state(), DataSetState::Edit);
    a.cancel();
    EXPECT_EQ(code(), QStringLiteral("C4"));
}

TEST_F(EditingTest, DuplicateNumeroIsAllowed)
{
    a.append();
    f("Codice")->setAsString(QStringLiteral("Z0"));
    f("Numero")->setAsInteger(1);
    EXPECT_NO_THROW(a.post());
}

TEST_F(EditingTest, DeleteMakesTheFollowingRecordCurrentOrTheNewLast)
{
    ASSERT_TRUE(a.locate(QStringLiteral("Codice"), QStringLiteral("B2")));
    a.deleteRecord();
    EXPECT_EQ(code(), QStringLiteral("C3"));
    a.last();
    a.deleteRecord();
    EXPECT_EQ(code(), QStringLiteral("D4"));
    EXPECT_EQ(a.recordCount(), 3);
    // Deleting the tracks of a CD one by one under the track filter empties the filtered set.
    c.setFilter(QStringLiteral("Codice='A1'"));
    c.setFiltered(true);
    while (!c.isEmpty())
        c.deleteRecord();
    c.setFiltered(false);
    EXPECT_EQ(c.recordCount(), 2);
}

TEST_F(EditingTest, TextsAreCutToTheFieldSizeAndBadNumbersOrDatesAreRefused)
{
    a.edit();
    f("Codice")->setAsString(QStringLiteral("ABCDEFGHIJKLMN"));
    EXPECT_EQ(code(), QStringLiteral("ABCDEFGHIJ"));
    try {
        f("Valore")->setAsString(QStringLiteral("dieci"));
        FAIL();
    } catch (const EngineError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("'dieci' is not a valid floating point value"));
    }
    try {
        f("Data")->setAsString(QStringLiteral("31/02/99"));
        FAIL();
    } catch (const EngineError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("'31/02/99' is not a valid date"));
    }
    f("Data")->setAsString(QStringLiteral("01/04/99"));
    EXPECT_EQ(f("Data")->asDate(), QDate(1999, 4, 1));
    f("Titolo")->setAsString(QString());
    a.post();
    EXPECT_TRUE(f("Titolo")->isNull());
}

// Regression: cutting to the field size split a character outside the basic plane in half.
TEST_F(EditingTest, CutToSizeNeverSplitsACharacter)
{
    a.edit();
    f("Codice")->setAsString(QStringLiteral("ABCDEFGHI") + QString::fromUtf8("\xF0\x9F\x8E\xB5") + QStringLiteral("X"));
    a.post();
    EXPECT_EQ(code(), QStringLiteral("ABCDEFGHI"));
    EXPECT_EQ(a.locate(QStringLiteral("Codice"), QStringLiteral("ABCDEFGHI")), true);
}

TEST_F(EditingTest, TracksAppendedUnderTheFilterStayInNaturalOrder)
{
    c.setFilter(QStringLiteral("Codice='B2'"));
    c.setFiltered(true);
    c.insert();
    c.fieldByName(QStringLiteral("Codice"))->setAsString(QStringLiteral("B2"));
    c.fieldByName(QStringLiteral("Nome"))->setAsString(QStringLiteral("Secondo"));
    c.fieldByName(QStringLiteral("Testo"))->setAsString(QStringLiteral("parole"));
    c.post();
    EXPECT_EQ(c.recordCount(), 2);
    EXPECT_EQ(c.recNo(), 1);
    c.append();
    c.fieldByName(QStringLiteral("Nome"))->setAsString(QStringLiteral("Senza codice"));
    c.post(); // no code: it leaves the filtered set
    EXPECT_EQ(c.recordCount(), 2);
    c.first();
    EXPECT_EQ(c.fieldByName(QStringLiteral("Nome"))->asString(), QStringLiteral("B2 brano 2"));
    EXPECT_EQ(c.fieldByName(QStringLiteral("Testo"))->asString(), QString());
}

TEST_F(EditingTest, EmptyTableOnlyWhileClosed)
{
    EXPECT_THROW(c.emptyTable(), EngineError);
    c.close();
    c.emptyTable();
    c.open();
    EXPECT_TRUE(c.isEmpty());
}

} // namespace

namespace {

// Guards against WAL or a left-over journal: the backup copies bare .db files.
TEST_F(EditingTest, PostsLeaveOnlyTheWholeTableFileOnDisk)
{
    a.edit();
    f("Titolo")->setAsString(QStringLiteral("Dopo"));
    a.post();
    c.first();
    c.deleteRecord();
    for (const char *extra : {"archivio.db-journal", "archivio.db-wal", "canzoni.db-journal", "canzoni.db-wal"})
        EXPECT_FALSE(QFile::exists(QLatin1String(extra))) << extra;
    a.close();
    c.close();
    EXPECT_EQ(fileBytes(QStringLiteral("archivio.db")).mid(18, 2), QByteArray("\x01\x01", 2)); // legacy journal format
}

} // namespace
