#pragma once
// The CD form: browsing and editing the CDs one at a time, the tracks of the current CD
// with their lyrics, the cover picture and the window's skin. It works on the data
// module's tArchivio through dsArchvio and keeps tCanzoni filtered to the current CD.
#include "dbnavigator.h"

#include <QDialog>
#include <QLabel>
#include <QString>

#include <memory>

class DataLink;
class Field;
enum class DataEvent;

namespace Ui {
class TfCd;
}

class TfCd : public QDialog {
    Q_OBJECT
public:
    explicit TfCd(QWidget *parent = nullptr);
    ~TfCd() override;

    Ui::TfCd *ui;
    // The background picture that fills the window (the opener loads the skin into it).
    QLabel *Image1 = nullptr;

    // The number given to the next CD minus one: the CD records counting a pending new one.
    qint32 ContaCd = 0;
    // The pending change of the CD record is an insert begun with Inserisci.
    bool InInserimento = false;
    // Path of the skin picture; written back to set.xxt when the form closes.
    QString FileSkin;

    // Enables or disables the data edit boxes and the lookup boxes of the record.
    void ImpostaStato(bool abilita);

    // Every way of closing (Esci, the title bar's close box) runs FormClose once.
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void collega();
    void FormCreate();
    void FormClose();
    void sbInserisciClick();
    void sbModificaClick();
    void sbConfermaClick();
    void sbAnnullaClick();
    void DBNavigator1Click();
    void edCodiceChange();
    void sbEliminaClick();
    void sbRicercaClick();
    void sbStampeClick();
    void sbesciClick();
    void DBNavigator2Click(DBNavigator::Button button);
    void sbEsportaClick();
    void sbCopClick();
    void sbSkinClick();
    void canzoneIniziata(DataEvent event, Field *field);

    std::unique_ptr<DataLink> canzoni_; // gives rows started in the grid the CD's code
    QString codiceNuovaCanzone_;
    bool codiceDaDare_ = false;
    bool chiuso_ = false;
};

extern TfCd *fCd;

// The track filter for a CD code. A code holding a single quote is written between double
// quotes; one holding both kinds of quote cannot be written and throws a clear error.
QString filtroCanzoni(const QString &codice);

// Sets tCanzoni's filter to the tracks of `codice`. When it fails the track list is left
// empty, never on another CD's tracks, and the error goes on.
void filtraCanzoni(const QString &codice);
