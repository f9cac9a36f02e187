// The lookup lists editor: choosing a list, editing its rows, and what the CD form offers.
#include "fixture.h"

#include "widgets.h"

#include <QTest>

namespace {

void scegliLista(TfImpos *f, int item)
{
    auto *rg = f->findChild<RadioGroup *>(QStringLiteral("rgTipo"));
    ASSERT_TRUE(rg);
    // On the round mark: a short caption leaves the button's middle outside its click area.
    QAbstractButton *b = rg->itemButton(item);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
    ASSERT_EQ(rg->itemIndex(), item);
}

} // namespace

TEST_F(RecordsTest, TheEditorShowsTheChosenListFromItsFirstRow)
{
    creaCatalogo(3);
    data->tAutori.last();
    data->tNeg.last();
    TfImpos *f = apriImpos();
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Impostazioni"));
    auto *rg = w<RadioGroup>(f, "rgTipo");
    EXPECT_EQ(rg->title(), QStringLiteral("Dati"));
    EXPECT_EQ(rg->items(), (QStringList{"Autori", "Provenienza", "Etichetta", "Supporto", "Tipo",
                                        "Genere", "Negozio"}));
    EXPECT_EQ(rg->itemIndex(), 0);
    EXPECT_EQ(w<QLabel>(f, "Label1")->text(),
              QStringLiteral("Importante !!!!\nNon scrivere Mai \nnella prima riga."));
    auto *nav = w<DBNavigator>(f, "Nav");
    EXPECT_EQ(nav->button(DBNavigator::Insert)->toolTip(), QStringLiteral("Nuovo"));
    EXPECT_TRUE(nav->button(DBNavigator::Refresh)->isHidden());

    EXPECT_EQ(data->tAutori.recNo(), 0);
    EXPECT_EQ(colonna(f, "Grid").value(1), QStringLiteral("Lucio Battisti"));
    scegliLista(f, 6);
    EXPECT_EQ(w<DBGrid>(f, "Grid")->dataSource(), &data->dsNeg);
    EXPECT_EQ(nav->dataSource(), &data->dsNeg);
    EXPECT_EQ(data->tNeg.recNo(), 0);
    EXPECT_EQ(colonna(f, "Grid").value(1), QStringLiteral("Ricordi Media Store Milano"));
    clic(f, "sbesci");
}

TEST_F(RecordsTest, AShopAddedInTheEditorIsOfferedByTheCdForm)
{
    creaCatalogo(2);
    TfImpos *f = apriImpos();
    scegliLista(f, 6);
    const int righe = data->tNeg.recordCount();
    naviga(f, "Nav", DBNavigator::Insert);
    scriviCella(f, "Grid", righe, 0, QStringLiteral("Dischi Nuovi Pavia"));
    naviga(f, "Nav", DBNavigator::Post);
    clic(f, "sbesci");
    impos.reset();

    TfCd *cdForm = apriCd();
    auto *negozio = w<QComboBox>(cdForm, "cbNegozio");
    EXPECT_GE(negozio->findText(QStringLiteral("Dischi Nuovi Pavia")), 0);
    clic(cdForm, "sbModifica");
    scegli(cdForm, "cbNegozio", QStringLiteral("Dischi Nuovi Pavia"));
    clic(cdForm, "sbConferma");
    EXPECT_EQ(data->tArchivioNegozio->asString(), QStringLiteral("Dischi Nuovi Pavia"));
}

TEST_F(RecordsTest, ARowLeftPendingIsPostedOnlyIfChanged)
{
    creaCatalogo(1);
    TfImpos *f = apriImpos();
    scegliLista(f, 5);
    const int generi = data->tGen.recordCount();
    // A new genre typed but neither posted nor cancelled: switching list posts it.
    naviga(f, "Nav", DBNavigator::Insert);
    scriviCella(f, "Grid", generi, 0, QStringLiteral("Ska"));
    ASSERT_EQ(data->tGen.state(), DataSetState::Insert);
    scegliLista(f, 4);
    EXPECT_EQ(data->tGen.state(), DataSetState::Browse);
    EXPECT_EQ(data->tGen.recordCount(), generi + 1);
    // An untouched new row is dropped.
    const int tipi = data->tTipo.recordCount();
    naviga(f, "Nav", DBNavigator::Insert);
    scegliLista(f, 0);
    EXPECT_EQ(data->tTipo.recordCount(), tipi);
    // A row still being typed in its cell is posted when the window closes.
    naviga(f, "Nav", DBNavigator::Edit);
    auto *grid = w<DBGrid>(f, "Grid");
    const QModelIndex cella = grid->model()->index(1, 0);
    grid->setCurrentIndex(cella);
    grid->edit(cella);
    ASSERT_TRUE(grid->indexWidget(cella));
    QTest::keyClick(grid->indexWidget(cella), Qt::Key_End);
    QTest::keyClicks(grid->indexWidget(cella), QStringLiteral(" (1943)"));
    clic(f, "sbesci");
    EXPECT_EQ(data->tAutori.state(), DataSetState::Browse);
    data->tAutori.setRecNo(1);
    EXPECT_EQ(data->tAutori.fieldByName(QStringLiteral("Nome"))->asString(),
              QStringLiteral("Lucio Battisti (1943)"));
}
