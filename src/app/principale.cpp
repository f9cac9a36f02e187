#include "principale.h"

#include "ui_principale.h"

#include "aprifile.h"
#include "convert.h"
#include "errorbox.h"
#include "modal.h"
#include "modulo.h"
#include "programma.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include <array>

#if __has_include("autore.h")
#include "autore.h"
#define SONARO_HAS_ABOUT 1
#endif
#if __has_include("main.h")
#include "main.h"
#define SONARO_HAS_CD_FORM 1
#endif
#if __has_include("imp.h")
#include "imp.h"
#define SONARO_HAS_LOOKUP_EDITOR 1
#endif
#if __has_include("statistiche.h")
#include "statistiche.h"
#define SONARO_HAS_STATISTICS 1
#endif
#if __has_include("liste.h")
#include "liste.h"
#define SONARO_HAS_LISTS 1
#endif
#if __has_include("back.h")
#include "back.h"
#define SONARO_HAS_BACKUP_WINDOW 1
#endif

TfMain *fMain = nullptr;

namespace {

std::array<Table *, 9> tabelleInOrdine()
{
    return {&data->tArchivio, &data->tCanzoni, &data->tAutori, &data->tEt, &data->tProv,
            &data->tNeg,      &data->tSup,     &data->tTipo,   &data->tGen};
}

} // namespace

void apriTabelle()
{
    for (Table *t : tabelleInOrdine())
        t->open();
}

void chiudiTabelle()
{
    for (Table *t : tabelleInOrdine())
        t->close();
    data->qRicerca.close();
    data->qAnni.close();
}

TfMain::TfMain(QWidget *parent) : QWidget(parent), ui(new Ui::TfMain)
{
    Q_INIT_RESOURCE(principale);
    ui->setupUi(this);
    setObjectName(QStringLiteral("fMain"));
    // Single border, only the system menu: no minimise or maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(369, 222);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    connectHandler(ui->sbCd, &QToolButton::clicked, this, [this] { sbCdClick(); });
    connectHandler(ui->sbImp, &QToolButton::clicked, this, [this] { sbImpClick(); });
    connectHandler(ui->sbStat, &QToolButton::clicked, this, [this] { sbStatClick(); });
    connectHandler(ui->sbManuale, &QToolButton::clicked, this, [this] { sbManualeClick(); });
    connectHandler(ui->sbAutore, &QToolButton::clicked, this, [this] { sbAutoreClick(); });
    connectHandler(ui->sbBackup, &QToolButton::clicked, this, [this] { sbBackupClick(); });
    connectHandler(ui->sbListe, &QToolButton::clicked, this, [this] { sbListeClick(); });
    connectHandler(ui->sbEsci, &QToolButton::clicked, this, [this] { sbEsciClick(); });

    runHandler([this] { FormCreate(); });
}

TfMain::~TfMain()
{
    delete ui;
}

void TfMain::FormCreate()
{
    apriTabelle();
    setWindowTitle(QStringLiteral("Sonaro V1.8 By Tavolen"));
}

void TfMain::FormClose()
{
    chiudiTabelle();
}

void TfMain::closeEvent(QCloseEvent *event)
{
    // The title bar's close box and "Esci" end the same way.
    runHandler([this] { FormClose(); });
    event->accept();
}

void TfMain::sbCdClick()
{
#ifdef SONARO_HAS_CD_FORM
    // The skin named in set.xxt is the form's background; if it cannot be read or loaded
    // the form is freed without being shown.
    openModal(fCd, [](TfCd &form) {
        form.FileSkin = leggiSetXxt();
        form.Image1->setPixmap(loadPicture(form.FileSkin));
    });
#endif
}

void TfMain::sbImpClick()
{
#ifdef SONARO_HAS_LOOKUP_EDITOR
    openModal(fImpos);
#endif
}

void TfMain::sbStatClick()
{
#ifdef SONARO_HAS_STATISTICS
    openModal(fStat);
#endif
}

void TfMain::sbListeClick()
{
#ifdef SONARO_HAS_LISTS
    openModal(fListe);
#endif
}

void TfMain::sbAutoreClick()
{
#ifdef SONARO_HAS_ABOUT
    openModal(AboutBox);
#endif
}

void TfMain::sbManualeClick()
{
    ApriFile(cartellaProgramma() + QStringLiteral("/Manuale/manualeSonaro.htm"), QString(),
             QString(), 5);
}

void TfMain::conTabelleChiuse(const std::function<void()> &show)
{
    // A restore replaces every table file, the lookup lists' too: nothing stays open.
    chiudiTabelle();
    try {
        show();
    } catch (...) {
        apriTabelle();
        throw;
    }
    apriTabelle();
}

void TfMain::sbBackupClick()
{
#ifdef SONARO_HAS_BACKUP_WINDOW
    conTabelleChiuse([] { openModal(fBack); });
#endif
}

void TfMain::sbEsciClick()
{
    close();
}
