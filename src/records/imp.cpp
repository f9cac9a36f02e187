// The lookup lists editor's handlers.
#include "imp.h"

#include "ui_imp.h"

#include "datalink.h"
#include "errorbox.h"
#include "modulo.h"
#include "righe.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include <array>

TfImpos *fImpos = nullptr;

namespace {

// The radio group's items in order: "Autori", "Provenienza", "Etichetta", "Supporto",
// "Tipo", "Genere", "Negozio".
std::array<DataSource *, 7> liste()
{
    return {&::data->dsAutori, &::data->dsProv, &::data->dsEt, &::data->dsSup,
            &::data->dsTipo,   &::data->dsGen,  &::data->dsNeg};
}

} // namespace

TfImpos::TfImpos(QWidget *parent) : QDialog(parent), ui(new Ui::TfImpos)
{
    ui->setupUi(this);
    // Fixed single border, only the close button; a parentless dialog shows centred.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(sizeHint());
    connectHandler(ui->rgTipo, &RadioGroup::clicked, this, [this] { rgTipoClick(); });
    connectHandler(ui->sbesci, &QToolButton::clicked, this, [this] { sbesciClick(); });
    runHandler([this] { FormCreate(); });
}

TfImpos::~TfImpos()
{
    delete ui;
}

void TfImpos::FormCreate()
{
    ui->Grid->setDataSource(&::data->dsAutori);
    ui->Nav->setDataSource(&::data->dsAutori);
    scelta_ = 0;
    ::data->tAutori.first();
}

void TfImpos::rgTipoClick()
{
    const int i = ui->rgTipo->itemIndex();
    if (ripristino_ || i < 0 || i >= int(liste().size()))
        return;
    try {
        // The row left pending in the list being left is posted if it was changed.
        ui->Grid->commitEdit();
        lasciaRiga(ui->Grid->dataSource() ? ui->Grid->dataSource()->dataSet() : nullptr);
    } catch (...) {
        WriteGuard guard(ripristino_);
        ui->rgTipo->setItemIndex(scelta_);
        throw;
    }
    DataSource *lista = liste()[size_t(i)];
    ui->Grid->setDataSource(lista);
    ui->Nav->setDataSource(lista);
    scelta_ = i;
    lista->dataSet()->first();
}

void TfImpos::sbesciClick()
{
    close();
}

bool TfImpos::FormClose()
{
    return runHandler([this] {
        ui->Grid->commitEdit();
        lasciaRiga(ui->Grid->dataSource() ? ui->Grid->dataSource()->dataSet() : nullptr);
    });
}

void TfImpos::closeEvent(QCloseEvent *event)
{
    if (!FormClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TfImpos::done(int result)
{
    if (FormClose())
        QDialog::done(result);
}

void TfImpos::keyPressEvent(QKeyEvent *event)
{
    // Escape cancels the row being typed (the grid's own key); it never closes the window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
