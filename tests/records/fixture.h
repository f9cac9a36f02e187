#pragma once
// A catalogue in a temporary folder with the data module's tables open (as the main menu
// opens them), the program's folder (set.xxt naming a skin picture) in another, and the
// scripted dialogs. Helpers find the windows' controls by name and drive them as a user does.
#include "catalogo.h"
#include "dbedit.h"
#include "dbgrid.h"
#include "dblookup.h"
#include "dbnavigator.h"
#include "imp.h"
#include "main.h"
#include "modulo.h"
#include "programma.h"
#include "scripteddialogs.h"

#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

class RecordsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A catalogue of `cds` demo CDs (none: an empty catalogue with empty lists).
    void creaCatalogo(int cds = 0, int tracksPerCd = 3);

    using Valori = std::vector<std::pair<const char *, QVariant>>;
    static void aggiungi(DataSet &ds, const Valori &valori);
    // A CD with its code and the given fields, and `tracce` tracks named "<code> n".
    static void aggiungiCd(const QString &codice, int tracce = 0, const Valori &altri = {});
    static void aggiungiVoce(Table &lista, const QString &nome);

    // Tracks stored under `codice` in canzoni.db, read apart from the form's filter.
    static QStringList canzoniSalvate(const QString &codice);
    // The stored CD row with this code, read apart from the data module's table.
    static QVariant campoSalvato(const QString &codice, const char *campo);

    TfCd *apriCd();
    TfImpos *apriImpos();
    void chiudiCd();

    // Controls of a window by their names.
    template <class T>
    static T *w(QWidget *form, const char *name)
    {
        T *c = form->findChild<T *>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static void clic(QWidget *form, const char *button);
    static void scrivi(QWidget *form, const char *box, const QString &text); // replaces the text
    static void scegli(QWidget *form, const char *combo, const QString &text);
    static void naviga(QWidget *form, const char *navigator, DBNavigator::Button b);
    // Texts of one column of a grid, as shown.
    static QStringList colonna(QWidget *form, const char *grid, int column = 0);
    static void scriviCella(QWidget *form, const char *grid, int row, int column, const QString &text);

    QString skin(const char *name, int width = 40, int height = 30); // a picture file
    QString percorsoIn(const QString &name) const { return cartella.filePath(name); }

    std::unique_ptr<catalogo::TempCatalogue> catalogo_;
    QTemporaryDir cartella; // set.xxt, pictures, exported files
    std::unique_ptr<ScriptedDialogs> dialogs;
    std::unique_ptr<TfCd> cd;
    std::unique_ptr<TfImpos> impos;
};

QByteArray leggiFile(const QString &path);
