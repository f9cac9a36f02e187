#pragma once
// A small demo catalogue in a temporary folder, with the CD, track and author tables open.
#include "qstringprint.h"
#include "catalogo.h"
#include "dataset.h"
#include "scripteddialogs.h"

#include <QApplication>
#include <QWidget>

#include <memory>
#include <ostream>

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalogo::DemoOptions options;
        options.cds = 12;
        options.seed = 7;
        options.tracksPerCd = 4;
        options.coversEvery = 2;
        catalogue = std::make_unique<catalogo::TempCatalogue>(&options);
        cds.open();
        tracks.open();
        authors.open();
    }
    void TearDown() override
    {
        cds.close();
        tracks.close();
        authors.close();
        catalogue.reset();
    }

    // Text of a field of row `row` of a dataset, without moving it.
    static QString at(const DataSet &ds, int row, const QString &field)
    {
        return ds.valueAt(row, ds.fieldByName(field)->index()).toString();
    }

    std::unique_ptr<catalogo::TempCatalogue> catalogue;
    ScriptedDialogs dialogs;
    Table cds{QStringLiteral("tArchivio"), QStringLiteral("archivio.db")};
    Table tracks{QStringLiteral("tCanzoni"), QStringLiteral("canzoni.db")};
    Table authors{QStringLiteral("tAutori"), QStringLiteral("autori.db")};
    DataSource dsCd{QStringLiteral("dsArchvio"), &cds};
    DataSource dsTracks{QStringLiteral("dsCanzoni"), &tracks};
    DataSource dsAuthors{QStringLiteral("dsAutori"), &authors};
};

// Shows a widget in an active window, so that focus moves as it does for a user.
inline void showActive(QWidget &window)
{
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    QApplication::processEvents();
}
