#include "fixture.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QTest>

#include <array>

namespace {

std::array<Table *, 9> tabelle()
{
    return {&data->tArchivio, &data->tCanzoni, &data->tAutori, &data->tEt, &data->tProv,
            &data->tNeg,      &data->tSup,     &data->tTipo,   &data->tGen};
}

} // namespace

QByteArray leggiFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

void RecordsTest::SetUp()
{
    ASSERT_TRUE(cartella.isValid());
    dialogs = std::make_unique<ScriptedDialogs>();
    impostaCartellaProgramma(cartella.path());
    QFile set(cartella.filePath(QStringLiteral("set.xxt")));
    ASSERT_TRUE(set.open(QIODevice::WriteOnly));
    set.write(skin("fondo.png").toLocal8Bit() + "\r\n");
}

void RecordsTest::creaCatalogo(int cds, int tracksPerCd)
{
    catalogo::DemoOptions demo;
    demo.cds = cds;
    demo.tracksPerCd = tracksPerCd;
    demo.coversEvery = 0;
    catalogo_ = std::make_unique<catalogo::TempCatalogue>(cds > 0 ? &demo : nullptr);
    data = new Tdata;
    for (Table *t : tabelle())
        t->open();
}

void RecordsTest::TearDown()
{
    cd.reset();
    impos.reset();
    fCd = nullptr;
    fImpos = nullptr;
    if (data) {
        for (Table *t : tabelle())
            t->close();
        delete data;
        data = nullptr;
    }
    catalogo_.reset();
    impostaCartellaProgramma(QString());
    dialogs.reset();
}

void RecordsTest::aggiungi(DataSet &ds, const Valori &valori)
{
    ds.append();
    for (const auto &[name, value] : valori)
        ds.fieldByName(QString::fromLatin1(name))->setValue(value);
    ds.post();
}

void RecordsTest::aggiungiCd(const QString &codice, int tracce, const Valori &altri)
{
    Valori v{{"Numero", data->tArchivio.recordCount() + 1}, {"Codice", codice},
             {"Titolo", QStringLiteral("Titolo di %1").arg(codice)}};
    v.insert(v.end(), altri.begin(), altri.end());
    aggiungi(data->tArchivio, v);
    for (int i = 1; i <= tracce; ++i)
        aggiungi(data->tCanzoni, {{"Codice", codice}, {"Nome", QStringLiteral("%1 %2").arg(codice).arg(i)}});
}

void RecordsTest::aggiungiVoce(Table &lista, const QString &nome)
{
    aggiungi(lista, {{"Nome", nome}});
}

QStringList RecordsTest::canzoniSalvate(const QString &codice)
{
    Table t(QStringLiteral("controllo"), QStringLiteral("canzoni.db"));
    t.open();
    QStringList nomi;
    for (t.first(); !t.eof(); t.next())
        if (t.fieldByName(QStringLiteral("Codice"))->asString() == codice)
            nomi << t.fieldByName(QStringLiteral("Nome"))->asString();
    return nomi;
}

QVariant RecordsTest::campoSalvato(const QString &codice, const char *campo)
{
    Table t(QStringLiteral("controllo"), QStringLiteral("archivio.db"));
    t.open();
    if (!t.locate(QStringLiteral("Codice"), codice))
        return QStringLiteral("(no CD %1)").arg(codice);
    return t.fieldByName(QLatin1String(campo))->value();
}

TfCd *RecordsTest::apriCd()
{
    cd = std::make_unique<TfCd>();
    fCd = cd.get();
    cd->show();
    return cd.get();
}

TfImpos *RecordsTest::apriImpos()
{
    impos = std::make_unique<TfImpos>();
    fImpos = impos.get();
    impos->show();
    return impos.get();
}

void RecordsTest::chiudiCd()
{
    clic(cd.get(), "sbesci");
    cd.reset();
    fCd = nullptr;
}

void RecordsTest::clic(QWidget *form, const char *button)
{
    auto *b = w<QAbstractButton>(form, button);
    ASSERT_TRUE(b);
    QTest::mouseClick(b, Qt::LeftButton);
}

void RecordsTest::scrivi(QWidget *form, const char *box, const QString &text)
{
    auto *edit = w<QLineEdit>(form, box);
    ASSERT_TRUE(edit);
    ASSERT_TRUE(edit->isEnabled()) << box;
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void RecordsTest::scegli(QWidget *form, const char *combo, const QString &text)
{
    auto *box = w<QComboBox>(form, combo);
    ASSERT_TRUE(box);
    ASSERT_TRUE(box->isEnabled()) << combo;
    // Through the keyboard, as a user picks an item without opening the list.
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < box->count() && box->currentText() != text; ++i)
        QTest::keyClick(box, Qt::Key_Down);
    ASSERT_EQ(box->currentText(), text);
}

void RecordsTest::naviga(QWidget *form, const char *navigator, DBNavigator::Button b)
{
    auto *nav = w<DBNavigator>(form, navigator);
    ASSERT_TRUE(nav);
    ASSERT_TRUE(nav->button(b)->isEnabled()) << navigator << " button " << int(b);
    QTest::mouseClick(nav->button(b), Qt::LeftButton);
}

QStringList RecordsTest::colonna(QWidget *form, const char *grid, int column)
{
    auto *g = w<DBGrid>(form, grid);
    QStringList out;
    if (!g)
        return out;
    const QAbstractItemModel *m = g->model();
    for (int r = 0; r < m->rowCount(); ++r)
        out << m->data(m->index(r, column)).toString();
    return out;
}

void RecordsTest::scriviCella(QWidget *form, const char *grid, int row, int column, const QString &text)
{
    auto *g = w<DBGrid>(form, grid);
    ASSERT_TRUE(g);
    const QModelIndex index = g->model()->index(row, column);
    ASSERT_TRUE(index.isValid());
    g->setCurrentIndex(index);
    g->edit(index);
    QWidget *editor = g->indexWidget(index);
    ASSERT_TRUE(editor) << "no cell editor";
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate hands the text over from the event loop
}

QString RecordsTest::skin(const char *name, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(30, 60, 120));
    const QString path = cartella.filePath(QLatin1String(name));
    EXPECT_TRUE(image.save(path));
    return path;
}
