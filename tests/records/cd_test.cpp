// The CD form's record: numbering, states, confirmation, deletion and the track filter.
#include "fixture.h"

#include "dbedit.h"

#include <QTest>

using Kind = ScriptedDialogs::Kind;

namespace {

QString numero(TfCd *f)
{
    return f->findChild<DBText *>(QStringLiteral("DBText1"))->text();
}

QString codice(TfCd *f)
{
    return f->findChild<QLineEdit *>(QStringLiteral("edCodice"))->text();
}

// How many of the fourteen boxes that the state switch reaches are enabled.
int abilitati(TfCd *f)
{
    int n = 0;
    for (const char *name : {"edCodice", "edTitolo", "edAnno", "edValore", "edData", "DBEdit2",
                             "DBEdit1", "cbAutore", "cbProv", "cbEt", "cbSupporto", "cbTipo",
                             "cbGenere", "cbNegozio"})
        n += f->findChild<QWidget *>(QLatin1String(name))->isEnabled() ? 1 : 0;
    return n;
}

} // namespace

TEST_F(RecordsTest, OpensOnTheFirstCdWithItsTracksAndOnlyTracksEnabled)
{
    creaCatalogo();
    aggiungiCd(QStringLiteral("B002"), 2);
    aggiungiCd(QStringLiteral("A001"), 3);
    TfCd *f = apriCd();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Sonaro V1.8 By Tavolen"));
    EXPECT_EQ(f->ContaCd, 2);
    EXPECT_EQ(codice(f), QStringLiteral("A001"));
    EXPECT_EQ(colonna(f, "DBGrid1"), (QStringList{"A001 1", "A001 2", "A001 3"}));
    EXPECT_FALSE(w<QWidget>(f, "edCodice")->isEnabled());
    EXPECT_FALSE(w<QWidget>(f, "cbNegozio")->isEnabled());
    EXPECT_TRUE(w<QWidget>(f, "DBEdit1")->isEnabled()); // Tracks, until the first switch
    EXPECT_TRUE(w<QWidget>(f, "mNote")->isEnabled());
    EXPECT_FALSE(w<QWidget>(f, "SpeedButton1")->isVisible());
    EXPECT_TRUE(f->windowState() & Qt::WindowMaximized);

    naviga(f, "DBNavigator1", DBNavigator::Next);
    EXPECT_EQ(codice(f), QStringLiteral("B002"));
    EXPECT_EQ(colonna(f, "DBGrid1"), (QStringList{"B002 1", "B002 2"}));
    EXPECT_EQ(abilitati(f), 0);
}

TEST_F(RecordsTest, NumbersNewCdsFromTheCounterThroughAnnullaAndConferma)
{
    creaCatalogo(5);
    TfCd *f = apriCd();
    clic(f, "sbInserisci");
    EXPECT_EQ(numero(f), QStringLiteral("6"));
    EXPECT_EQ(abilitati(f), 14);
    EXPECT_EQ(codice(f), QString());
    clic(f, "sbAnnulla");
    EXPECT_EQ(f->ContaCd, 5);
    EXPECT_EQ(abilitati(f), 0);
    clic(f, "sbInserisci");
    EXPECT_EQ(numero(f), QStringLiteral("6"));
    scrivi(f, "edCodice", QStringLiteral("NUOVO1"));
    clic(f, "sbConferma");
    EXPECT_EQ(data->tArchivio.state(), DataSetState::Browse);
    EXPECT_EQ(campoSalvato(QStringLiteral("NUOVO1"), "Numero").toInt(), 6);
    EXPECT_EQ(numero(f), QStringLiteral("6"));
    EXPECT_EQ(abilitati(f), 0);
    clic(f, "sbInserisci");
    EXPECT_EQ(numero(f), QStringLiteral("7"));
    clic(f, "sbAnnulla");
}

TEST_F(RecordsTest, ModificaThenAnnullaRestoresTheCdAndKeepsTheCounter)
{
    creaCatalogo(3);
    TfCd *f = apriCd();
    const QString titolo = w<QLineEdit>(f, "edTitolo")->text();
    clic(f, "sbModifica");
    EXPECT_EQ(abilitati(f), 14);
    scrivi(f, "edTitolo", QStringLiteral("Cambiato"));
    clic(f, "sbAnnulla");
    EXPECT_EQ(w<QLineEdit>(f, "edTitolo")->text(), titolo);
    EXPECT_EQ(campoSalvato(codice(f), "Titolo").toString(), titolo);
    EXPECT_EQ(abilitati(f), 0);
    EXPECT_EQ(f->ContaCd, 3);
    clic(f, "sbInserisci");
    EXPECT_EQ(numero(f), QStringLiteral("4"));
    // Modifica in the middle of an insert leaves the insert counted (and given back).
    clic(f, "sbModifica");
    clic(f, "sbAnnulla");
    EXPECT_EQ(f->ContaCd, 3);
}

// Fault: Conferma with nothing pending told the user so in English.
TEST_F(RecordsTest, ConfermaWithNothingPendingSaysSoInItalianAndChangesNothing)
{
    creaCatalogo(3);
    TfCd *f = apriCd();
    const QString titolo = w<QLineEdit>(f, "edTitolo")->text();
    dialogs->expectError();
    clic(f, "sbConferma");
    EXPECT_EQ(dialogs->texts(Kind::Error),
              QStringList(QStringLiteral(
                  "Il Cd non \u00E8 in inserimento n\u00E9 in modifica: non c'\u00E8 nulla da confermare.")));
    EXPECT_EQ(data->tArchivio.state(), DataSetState::Browse);
    EXPECT_EQ(w<QLineEdit>(f, "edTitolo")->text(), titolo);
    EXPECT_EQ(f->ContaCd, 3);
}

TEST_F(RecordsTest, EliminaDeletesTheCdAndItsFourTracksOnly)
{
    creaCatalogo();
    aggiungiCd(QStringLiteral("A001"), 4);
    aggiungiCd(QStringLiteral("A002"), 2);
    aggiungiCd(QStringLiteral("A0011"), 1); // a code that the first one begins
    TfCd *f = apriCd();
    ASSERT_EQ(colonna(f, "DBGrid1").size(), 4);
    clic(f, "sbElimina");
    EXPECT_TRUE(canzoniSalvate(QStringLiteral("A001")).isEmpty());
    EXPECT_EQ(campoSalvato(QStringLiteral("A001"), "Codice").toString(), QStringLiteral("(no CD A001)"));
    EXPECT_EQ(canzoniSalvate(QStringLiteral("A002")).size(), 2);
    EXPECT_EQ(canzoniSalvate(QStringLiteral("A0011")).size(), 1);
    EXPECT_EQ(f->ContaCd, 2);
    EXPECT_EQ(codice(f), QStringLiteral("A0011")); // the following CD
    EXPECT_EQ(colonna(f, "DBGrid1"), QStringList{"A0011 1"});

    naviga(f, "DBNavigator1", DBNavigator::Last);
    clic(f, "sbElimina"); // the last CD: the new last one becomes current
    EXPECT_EQ(codice(f), QStringLiteral("A0011"));
    EXPECT_EQ(colonna(f, "DBGrid1"), QStringList{"A0011 1"});
}

TEST_F(RecordsTest, EliminaOfANewCdDeletesNoTrackAndGivesItsNumberBack)
{
    creaCatalogo();
    aggiungiCd(QStringLiteral("A001"), 2);
    aggiungi(data->tCanzoni, {{"Nome", QStringLiteral("senza codice")}});
    TfCd *f = apriCd();
    clic(f, "sbInserisci");
    scrivi(f, "edCodice", QStringLiteral("A001"));
    clic(f, "sbElimina");
    EXPECT_EQ(f->ContaCd, 1);
    EXPECT_EQ(canzoniSalvate(QStringLiteral("A001")).size(), 2);
    EXPECT_EQ(canzoniSalvate(QString()).size(), 1);
    EXPECT_EQ(codice(f), QStringLiteral("A001"));
    EXPECT_EQ(colonna(f, "DBGrid1").size(), 2);
    clic(f, "sbAnnulla"); // nothing pending any more: the counter stays
    EXPECT_EQ(f->ContaCd, 1);
}

TEST_F(RecordsTest, EliminaOnAnEmptyCatalogueReportsAndChangesNothing)
{
    creaCatalogo();
    aggiungi(data->tCanzoni, {{"Nome", QStringLiteral("orfana")}});
    TfCd *f = apriCd();
    EXPECT_EQ(codice(f), QString());
    EXPECT_EQ(numero(f), QString());
    EXPECT_TRUE(colonna(f, "DBGrid1").isEmpty());
    dialogs->expectError();
    clic(f, "sbElimina");
    EXPECT_EQ(f->ContaCd, 0);
    EXPECT_EQ(canzoniSalvate(QString()).size(), 1);
    EXPECT_FALSE(data->tArchivio.controlsDisabled());
    EXPECT_FALSE(data->tCanzoni.controlsDisabled());
}

TEST_F(RecordsTest, AChangedCodeLeavesTheTracksBehind)
{
    creaCatalogo();
    aggiungiCd(QStringLiteral("A001"), 3);
    aggiungiCd(QStringLiteral("A002"), 2);
    TfCd *f = apriCd();
    clic(f, "sbModifica");
    scrivi(f, "edCodice", QStringLiteral("A002"));
    // While the code is typed the list stays on the CD's own tracks.
    EXPECT_EQ(colonna(f, "DBGrid1").size(), 3);
    scrivi(f, "edCodice", QStringLiteral("Z009"));
    clic(f, "sbConferma");
    EXPECT_EQ(codice(f), QStringLiteral("Z009"));
    EXPECT_TRUE(colonna(f, "DBGrid1").isEmpty());
    EXPECT_EQ(canzoniSalvate(QStringLiteral("A001")).size(), 3);
}

TEST_F(RecordsTest, ConfermaDerivesAnnoFromTheDateAndKeepsItWithoutOne)
{
    creaCatalogo();
    aggiungiCd(QStringLiteral("A001"), 0,
               {{"AnnoP", QStringLiteral("1990")}, {"Anno", QStringLiteral("1985")},
                {"Data", QDate(1985, 3, 2)}});
    aggiungiCd(QStringLiteral("A002"), 0, {{"Anno", QStringLiteral("1971")}, {"Data", QDate(1971, 6, 1)}});
    TfCd *f = apriCd();
    clic(f, "sbModifica");
    scrivi(f, "edData", QStringLiteral("12/05/1999"));
    clic(f, "sbConferma");
    EXPECT_EQ(campoSalvato(QStringLiteral("A001"), "Anno").toString(), QStringLiteral("1999"));
    EXPECT_EQ(campoSalvato(QStringLiteral("A001"), "AnnoP").toString(), QStringLiteral("1990"));
    EXPECT_EQ(campoSalvato(QStringLiteral("A001"), "Data").toDate(), QDate(1999, 5, 12));

    clic(f, "sbModifica");
    scrivi(f, "edData", QString());
    clic(f, "sbConferma");
    EXPECT_TRUE(campoSalvato(QStringLiteral("A001"), "Data").isNull());
    EXPECT_EQ(campoSalvato(QStringLiteral("A001"), "Anno").toString(), QStringLiteral("1999"));

    // A date shown with a two-digit year far from today still gives its own year.
    naviga(f, "DBNavigator1", DBNavigator::Next);
    clic(f, "sbModifica");
    scrivi(f, "edTitolo", QStringLiteral("Vecchio"));
    clic(f, "sbConferma");
    EXPECT_EQ(campoSalvato(QStringLiteral("A002"), "Anno").toString(), QStringLiteral("1971"));
}

TEST_F(RecordsTest, ABadDateOrADuplicateCodeLeavesTheRecordPending)
{
    creaCatalogo();
    aggiungiCd(QStringLiteral("A001"));
    aggiungiCd(QStringLiteral("A002"));
    TfCd *f = apriCd();
    clic(f, "sbModifica");
    scrivi(f, "edData", QStringLiteral("31/02/1999"));
    dialogs->expectError();
    clic(f, "sbConferma");
    EXPECT_EQ(dialogs->texts(Kind::Error).value(0), QStringLiteral("'31/02/1999' is not a valid date"));
    EXPECT_EQ(data->tArchivio.state(), DataSetState::Edit);
    EXPECT_EQ(abilitati(f), 14);
    scrivi(f, "edData", QStringLiteral("01/02/1999"));
    clic(f, "sbConferma");
    EXPECT_EQ(campoSalvato(QStringLiteral("A001"), "Anno").toString(), QStringLiteral("1999"));

    clic(f, "sbInserisci");
    scrivi(f, "edCodice", QStringLiteral("A002"));
    dialogs->expectError();
    clic(f, "sbConferma");
    EXPECT_EQ(data->tArchivio.state(), DataSetState::Insert);
    EXPECT_EQ(abilitati(f), 14);
    EXPECT_EQ(f->ContaCd, 3);
    clic(f, "sbAnnulla");
    EXPECT_EQ(f->ContaCd, 2);
    EXPECT_EQ(data->tArchivio.recordCount(), 2);
    EXPECT_EQ(data->tArchivio.state(), DataSetState::Browse);

    // Conferma with nothing pending is refused and changes nothing.
    dialogs->expectError();
    clic(f, "sbConferma");
    EXPECT_EQ(data->tArchivio.state(), DataSetState::Browse);
}

TEST_F(RecordsTest, ALookupTextMissingFromItsListShowsAnEmptyBox)
{
    creaCatalogo();
    aggiungiVoce(data->tGen, QStringLiteral("Jazz"));
    aggiungiCd(QStringLiteral("A001"), 0, {{"Genere", QStringLiteral("Ska")}});
    aggiungiCd(QStringLiteral("A002"), 0, {{"Genere", QStringLiteral("Jazz")}});
    TfCd *f = apriCd();
    EXPECT_EQ(w<QComboBox>(f, "cbGenere")->currentText(), QString());
    EXPECT_EQ(data->tArchivioGenere->asString(), QStringLiteral("Ska"));
    naviga(f, "DBNavigator1", DBNavigator::Next);
    EXPECT_EQ(w<QComboBox>(f, "cbGenere")->currentText(), QStringLiteral("Jazz"));
    // Choosing stores the list's text.
    naviga(f, "DBNavigator1", DBNavigator::Prior);
    clic(f, "sbModifica");
    scegli(f, "cbGenere", QStringLiteral("Jazz"));
    clic(f, "sbConferma");
    EXPECT_EQ(campoSalvato(QStringLiteral("A001"), "Genere").toString(), QStringLiteral("Jazz"));
}

TEST_F(RecordsTest, CodesWithQuotesShowTheirOwnTracksOrAClearError)
{
    creaCatalogo();
    aggiungiCd(QStringLiteral("A'01"), 2);
    aggiungiCd(QStringLiteral("B\"02"), 1);
    aggiungiCd(QStringLiteral("C01"), 1);
    TfCd *f = apriCd();
    EXPECT_EQ(colonna(f, "DBGrid1"), (QStringList{"A'01 1", "A'01 2"}));
    naviga(f, "DBNavigator1", DBNavigator::Next);
    EXPECT_EQ(colonna(f, "DBGrid1"), QStringList{"B\"02 1"});
    clic(f, "sbElimina");
    EXPECT_TRUE(canzoniSalvate(QStringLiteral("B\"02")).isEmpty());
    EXPECT_EQ(canzoniSalvate(QStringLiteral("A'01")).size(), 2);
    EXPECT_EQ(colonna(f, "DBGrid1"), QStringList{"C01 1"});

    // A code with both kinds of quote cannot become a filter: refused on Conferma.
    clic(f, "sbModifica");
    scrivi(f, "edCodice", QStringLiteral("C'0\"1"));
    dialogs->expectError();
    clic(f, "sbConferma");
    EXPECT_TRUE(dialogs->texts(Kind::Error).value(0).contains(QStringLiteral("apici")));
    EXPECT_EQ(data->tArchivio.state(), DataSetState::Edit);
    EXPECT_EQ(colonna(f, "DBGrid1"), QStringList{"C01 1"});
    clic(f, "sbAnnulla");
}

TEST_F(RecordsTest, AStoredCodeWithBothQuotesShowsNoTracksAndKeepsThemOnElimina)
{
    creaCatalogo();
    aggiungiCd(QStringLiteral("A01"), 1);
    aggiungiCd(QStringLiteral("B'0\"2"), 2);
    TfCd *f = apriCd();
    dialogs->expectError();
    naviga(f, "DBNavigator1", DBNavigator::Next);
    EXPECT_TRUE(colonna(f, "DBGrid1").isEmpty());
    dialogs->expectError();
    clic(f, "sbElimina");
    EXPECT_EQ(canzoniSalvate(QStringLiteral("A01")).size(), 1);
    EXPECT_EQ(canzoniSalvate(QStringLiteral("B'0\"2")).size(), 2);
    EXPECT_EQ(f->ContaCd, 2);
}

TEST_F(RecordsTest, ANewCdShowsNoTracksWhileItsCodeIsTyped)
{
    creaCatalogo();
    aggiungiCd(QStringLiteral("A"), 2);
    aggiungiCd(QStringLiteral("B"), 1);
    TfCd *f = apriCd();
    clic(f, "sbInserisci");
    EXPECT_TRUE(colonna(f, "DBGrid1").isEmpty());
    scrivi(f, "edCodice", QStringLiteral("B"));
    EXPECT_TRUE(colonna(f, "DBGrid1").isEmpty());
    clic(f, "sbAnnulla");
    EXPECT_EQ(colonna(f, "DBGrid1"), (QStringList{"A 1", "A 2"}));
}

TEST_F(RecordsTest, APendingChangeIsDiscardedWhenTheFormCloses)
{
    creaCatalogo();
    aggiungiCd(QStringLiteral("A001"));
    TfCd *f = apriCd();
    clic(f, "sbModifica");
    scrivi(f, "edTitolo", QStringLiteral("Mai confermato"));
    chiudiCd();
    EXPECT_EQ(data->tArchivio.state(), DataSetState::Browse);
    EXPECT_EQ(campoSalvato(QStringLiteral("A001"), "Titolo").toString(), QStringLiteral("Titolo di A001"));
}
