// The CD form: its handlers and the track filter.
//
// States of the form (the table's state, the edit and lookup boxes):
//   Browsing  (browse, boxes disabled) --Inserisci--> Inserting (insert, boxes enabled,
//             InInserimento) --Conferma: posted / Annulla: dropped, ContaCd given back-->
//   Browsing  --Modifica--> Modifying (edit, boxes enabled) --Conferma / Annulla-->
//   Browsing. A move with the CD navigator posts a modified change and returns to
//   Browsing; Elimina deletes (or drops a new CD) and leaves the boxes as they were.
// Invariants:
//   - ContaCd is the number of CD records counting a pending new one.
//   - The track list shows the tracks of the CD that is stored under the current record:
//     a browsed CD's own code, nothing for a new one, and during Modifica the code the CD
//     had when the change began (a code being typed is not a CD yet). A step that fails
//     leaves the list on the current CD or empty, never on another CD.
#include "main.h"

#include "ui_main.h"

#include "convert.h"
#include "datalink.h"
#include "dialogs.h"
#include "errorbox.h"
#include "glyphs.h"
#include "modal.h"
#include "modulo.h"
#include "programma.h"
#include "righe.h"

#include <QCloseEvent>
#include <QKeyEvent>

TfCd *fCd = nullptr;

namespace {

// No track has a code that is both blank and "-": the list shown when a code cannot be
// written as a filter.
const QLatin1String nessunaCanzone("Codice='' and Codice='-'");

// Moves the track filter. When a pending track cannot be posted the move would fail and
// keep the list on the CD that was left: the track is dropped instead, and its error is
// still reported.
void applicaFiltro(const QString &testo)
{
    Table &canzoni = ::data->tCanzoni;
    try {
        canzoni.setFilter(testo);
    } catch (...) {
        canzoni.cancel();
        canzoni.setFilter(testo);
        throw;
    }
}

// Suspends the control updates of both tables while a CD and its tracks are deleted, and
// resumes them, CDs first, however the deletion ends.
class ControlliSospesi {
public:
    ControlliSospesi()
    {
        ::data->tArchivio.disableControls();
        ::data->tCanzoni.disableControls();
    }
    ~ControlliSospesi()
    {
        runHandler([] { ::data->tArchivio.enableControls(); });
        runHandler([] { ::data->tCanzoni.enableControls(); });
    }
    ControlliSospesi(const ControlliSospesi &) = delete;
    ControlliSospesi &operator=(const ControlliSospesi &) = delete;
};

// Deletes the tracks of `codice` among those the filter shows; a track of any other code
// stays, whatever the filter lets through.
void eliminaCanzoni(const QString &codice)
{
    Table &canzoni = ::data->tCanzoni;
    int riga = 0;
    while (riga < canzoni.recordCount()) {
        canzoni.setRecNo(riga);
        if (::data->tCanzoniCodice->asString() == codice)
            canzoni.deleteRecord();
        else
            ++riga;
    }
}

bool inSospeso(const DataSet &ds)
{
    return ds.state() == DataSetState::Edit || ds.state() == DataSetState::Insert;
}

} // namespace

QString filtroCanzoni(const QString &codice)
{
    // Every CD has a code: an empty one is a new CD, or none at all, with no tracks.
    if (codice.isEmpty())
        return nessunaCanzone;
    if (!codice.contains(QLatin1Char('\'')))
        return QStringLiteral("Codice='%1'").arg(codice);
    if (!codice.contains(QLatin1Char('"')))
        return QStringLiteral("Codice=\"%1\"").arg(codice);
    throw RuntimeError(QStringLiteral("Il codice %1 contiene sia apici (') sia virgolette (\"): "
                                      "le canzoni di questo Cd non si possono trovare.")
                           .arg(codice));
}

void filtraCanzoni(const QString &codice)
{
    // The same refusal is told once, not by each handler that follows one move.
    static QString rifiutato;
    static bool detto = false;
    QString testo;
    try {
        testo = filtroCanzoni(codice);
    } catch (...) {
        const bool giaDetto = detto && rifiutato == codice;
        applicaFiltro(nessunaCanzone);
        detto = true;
        rifiutato = codice;
        if (giaDetto)
            return;
        throw;
    }
    detto = false;
    applicaFiltro(testo);
}

void TfCd::ImpostaStato(bool abilita)
{
    for (QWidget *w : findChildren<QWidget *>()) {
        if (auto *edit = qobject_cast<DBEdit *>(w))
            edit->setEnabled(abilita);
        else if (auto *lookup = qobject_cast<DBLookupComboBox *>(w))
            lookup->setEnabled(abilita);
    }
}

void TfCd::FormCreate()
{
    ContaCd = ::data->tArchivio.recordCount();
    ::data->tArchivio.first();
    try {
        filtraCanzoni(::data->tArchivioCodice->asString());
    } catch (...) {
        ::data->tCanzoni.setFiltered(true);
        throw;
    }
    ::data->tCanzoni.setFiltered(true);
    setWindowTitle(QStringLiteral("Sonaro V1.8 By Tavolen"));
}

void TfCd::sbInserisciClick()
{
    ::data->tArchivio.append();
    ++ContaCd;
    ::data->tArchivioNumero->setAsInteger(ContaCd);
    InInserimento = true;
    ImpostaStato(true);
    ui->edCodice->setFocus();
}

void TfCd::sbModificaClick()
{
    ImpostaStato(true);
    ui->edCodice->setFocus();
    ::data->tArchivio.edit();
    // Modifica during an insert changes nothing in it: the new CD stays counted, and
    // Annulla still gives its number back.
    InInserimento = InInserimento && ::data->tArchivio.state() == DataSetState::Insert;
}

void TfCd::sbConfermaClick()
{
    if (!inSospeso(::data->tArchivio))
        throw EngineError(QStringLiteral("Il Cd non \u00E8 in inserimento n\u00E9 in modifica: "
                                          "non c'\u00E8 nulla da confermare."));
    const QString testoData = ui->edData->text().trimmed();
    if (!testoData.isEmpty())
        ::data->tArchivioAnno->setAsString(
            QStringLiteral("%1").arg(strToDate(testoData).year(), 4, 10, QLatin1Char('0')));
    // A code that no track filter can hold is refused while it can still be corrected.
    filtroCanzoni(::data->tArchivioCodice->asString());
    ::data->tArchivio.post();
    filtraCanzoni(::data->tArchivioCodice->asString());
    ImpostaStato(false);
    InInserimento = false;
}

void TfCd::sbAnnullaClick()
{
    if (InInserimento && ::data->tArchivio.state() == DataSetState::Insert)
        --ContaCd;
    ::data->tArchivio.cancel();
    ImpostaStato(false);
    InInserimento = false;
}

void TfCd::DBNavigator1Click()
{
    filtraCanzoni(::data->tArchivioCodice->asString());
    ImpostaStato(false);
    InInserimento = false;
}

void TfCd::edCodiceChange()
{
    switch (::data->tArchivio.state()) {
    case DataSetState::Browse:
        filtraCanzoni(::data->tArchivioCodice->asString());
        break;
    case DataSetState::Insert:
        filtraCanzoni(QString()); // a new CD has no stored code, nor tracks
        break;
    default:
        break; // typing a new code: the CD and its tracks are still those stored
    }
}

void TfCd::sbEliminaClick()
{
    Table &archivio = ::data->tArchivio;
    // Deleting drops a pending change anyway; dropping it first makes the code the stored one.
    if (archivio.state() == DataSetState::Edit)
        archivio.cancel();
    const bool memorizzato = archivio.state() == DataSetState::Browse && !archivio.isEmpty();
    const QString codice = ::data->tArchivioCodice->asString();
    if (memorizzato) {
        filtroCanzoni(codice); // a code no filter can hold: its tracks cannot be found
        filtraCanzoni(codice);
    }
    ::data->tCanzoni.first();
    {
        ControlliSospesi sospesi;
        if (memorizzato)
            eliminaCanzoni(codice);
        archivio.deleteRecord();
        --ContaCd;
        InInserimento = false; // whatever insert was pending is gone
    }
    edCodiceChange();
}

void TfCd::sbRicercaClick()
{
    // Opens the search window once it is part of the program.
}

void TfCd::sbStampeClick()
{
    // Opens the CD card report once it is part of the program.
}

void TfCd::sbesciClick()
{
    close();
}

void TfCd::DBNavigator2Click(DBNavigator::Button button)
{
    // With no CD code (an empty catalogue, a new CD not typed yet) the row stays untouched,
    // so a row nobody typed is dropped, never stored as a track of no CD.
    const QString codice = ::data->tArchivioCodice->asString();
    if (button == DBNavigator::Insert && !codice.isEmpty())
        ::data->tCanzoniCodice->setAsString(codice);
}

// A row started in the grid itself takes the CD's code with its first typed value, so a row
// left untouched is still dropped when the user moves away.
void TfCd::canzoneIniziata(DataEvent event, Field *field)
{
    const DataSet &canzoni = ::data->tCanzoni;
    if (event == DataEvent::StateChanged) {
        codiceDaDare_ = canzoni.state() == DataSetState::Insert;
        codiceNuovaCanzone_ = codiceDaDare_ ? ::data->tArchivioCodice->asString() : QString();
        return;
    }
    if (event != DataEvent::FieldChanged || !codiceDaDare_)
        return;
    codiceDaDare_ = false;
    if (field != ::data->tCanzoniCodice && canzoni.state() == DataSetState::Insert
        && ::data->tCanzoniCodice->isNull() && !codiceNuovaCanzone_.isEmpty())
        runHandler([this] { ::data->tCanzoniCodice->setAsString(codiceNuovaCanzone_); });
}

void TfCd::sbEsportaClick()
{
    FileDialogSpec opts;
    opts.filter = QStringLiteral("File di Testo|*.txt");
    opts.defaultExtension = QStringLiteral("txt");
    opts.askBeforeReplace = false;
    const QString nome = Dialogs::instance().saveFile(opts);
    if (nome.isEmpty())
        return;
    // The memo writes every keystroke into the field, so the field holds what is shown.
    ::data->tCanzoniTesto->saveToFile(nome);
}

void TfCd::sbCopClick()
{
    FileDialogSpec opts;
    opts.filter = QStringLiteral("Immagini BMP|*.bmp");
    opts.defaultExtension = QStringLiteral("bmp");
    const QString nome = Dialogs::instance().openFile(opts);
    if (nome.isEmpty())
        return;
    ::data->tArchivio.edit();
    ::data->tArchivioCopertina->loadFromFile(nome);
}

void TfCd::sbSkinClick()
{
    FileDialogSpec opts; // no filter: every picture format the program can load
    const QString nome = Dialogs::instance().openPicture(opts);
    if (nome.isEmpty())
        return;
    Image1->setPixmap(loadPicture(nome));
    FileSkin = nome;
}

// A CD change still pending is dropped (only Conferma or a move stores it); a track being
// typed is kept as a move to another track would keep it; set.xxt gets the skin. Each step
// reports its own error and the form closes all the same.
void TfCd::FormClose()
{
    runHandler([] {
        if (inSospeso(::data->tArchivio))
            ::data->tArchivio.cancel();
    });
    runHandler([this] {
        ui->DBGrid1->commitEdit();
        lasciaRiga(&::data->tCanzoni, true);
    });
    runHandler([this] { scriviSetXxt(FileSkin); });
}

TfCd::TfCd(QWidget *parent) : QDialog(parent), ui(new Ui::TfCd)
{
    ui->setupUi(this);
    Image1 = ui->Image1;
    Image1->lower();
    ui->SpeedButton1->hide();
    // Sizeable, maximised, with only the close button in the title bar.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowState(Qt::WindowMaximized);
    const std::pair<QToolButton *, int> glifi[] = {
        {ui->sbInserisci, DBNavigator::Insert}, {ui->sbConferma, DBNavigator::Post},
        {ui->sbAnnulla, DBNavigator::Cancel},   {ui->sbModifica, DBNavigator::Edit},
        {ui->sbElimina, DBNavigator::Delete}};
    for (const auto &[button, glifo] : glifi)
        button->setIcon(navigatorGlyph(glifo));
    collega();
    runHandler([this] { FormCreate(); });
}

TfCd::~TfCd()
{
    delete ui;
}

// Binds the data-aware controls to the data module and the controls to their handlers.
void TfCd::collega()
{
    DataSource *cd = &::data->dsArchvio;
    for (DBEdit *edit : {ui->edCodice, ui->edTitolo, ui->DBEdit2, ui->edAnno, ui->DBEdit1,
                         ui->edValore, ui->edData})
        edit->setDataSource(cd);
    const std::pair<DBLookupComboBox *, DataSource *> liste[] = {
        {ui->cbAutore, &::data->dsAutori}, {ui->cbProv, &::data->dsProv},
        {ui->cbEt, &::data->dsEt},         {ui->cbSupporto, &::data->dsSup},
        {ui->cbTipo, &::data->dsTipo},     {ui->cbGenere, &::data->dsGen},
        {ui->cbNegozio, &::data->dsNeg}};
    for (const auto &[lookup, lista] : liste) {
        lookup->setListSource(lista);
        lookup->setDataSource(cd);
    }
    ui->DBText1->setDataSource(cd);
    ui->mNote->setDataSource(cd);
    ui->DBImage1->setDataSource(cd);
    ui->DBNavigator1->setDataSource(cd);
    ui->DBGrid1->setDataSource(&::data->dsCanzoni);
    ui->DBNavigator2->setDataSource(&::data->dsCanzoni);
    ui->dbTesto->setDataSource(&::data->dsCanzoni);
    canzoni_ = std::make_unique<DataLink>([this](DataEvent e, Field *f) { canzoneIniziata(e, f); });
    canzoni_->setDataSource(&::data->dsCanzoni);

    const std::pair<QToolButton *, void (TfCd::*)()> comandi[] = {
        {ui->sbInserisci, &TfCd::sbInserisciClick}, {ui->sbConferma, &TfCd::sbConfermaClick},
        {ui->sbAnnulla, &TfCd::sbAnnullaClick},     {ui->sbModifica, &TfCd::sbModificaClick},
        {ui->sbCop, &TfCd::sbCopClick},             {ui->sbElimina, &TfCd::sbEliminaClick},
        {ui->sbRicerca, &TfCd::sbRicercaClick},     {ui->sbStampe, &TfCd::sbStampeClick},
        {ui->sbSkin, &TfCd::sbSkinClick},           {ui->sbesci, &TfCd::sbesciClick},
        {ui->sbEsporta, &TfCd::sbEsportaClick}};
    for (const auto &[button, handler] : comandi)
        connectHandler(button, &QToolButton::clicked, this, [this, h = handler] { (this->*h)(); });
    connectHandler(ui->DBNavigator1, &DBNavigator::clicked, this, [this] { DBNavigator1Click(); });
    connectHandler(ui->DBNavigator2, &DBNavigator::clicked, this,
                   [this](DBNavigator::Button b) { DBNavigator2Click(b); });
    connectHandler(ui->edCodice, &DBEdit::changed, this, [this] { edCodiceChange(); });
}

void TfCd::closeEvent(QCloseEvent *event)
{
    if (!chiuso_) {
        chiuso_ = true;
        FormClose();
    }
    QDialog::closeEvent(event);
}

void TfCd::done(int result)
{
    if (!chiuso_) {
        chiuso_ = true;
        FormClose();
    }
    QDialog::done(result);
}

void TfCd::showEvent(QShowEvent *event)
{
    chiuso_ = false;
    QDialog::showEvent(event);
}

void TfCd::keyPressEvent(QKeyEvent *event)
{
    // Escape cancels a track being typed (the grid's own key); it never closes the form.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
