// Pictures of both windows on a demo catalogue, for a person to look at. Runs only when
// SONARO_SCREENSHOT_DIR names a folder (under a real or virtual X display).
#include "fixture.h"

#include "convert.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTest>

TEST_F(RecordsTest, Screenshots)
{
    const QString dir = qEnvironmentVariable("SONARO_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "SONARO_SCREENSHOT_DIR not set";
    QDir().mkpath(dir);
    catalogo::DemoOptions demo;
    demo.cds = 30;
    demo.coversEvery = 3;
    catalogo_ = std::make_unique<catalogo::TempCatalogue>(&demo);
    data = new Tdata;
    for (Table *t : {&data->tArchivio, &data->tCanzoni, &data->tAutori, &data->tEt, &data->tProv,
                     &data->tNeg, &data->tSup, &data->tTipo, &data->tGen})
        t->open();
    const QString fondo = qEnvironmentVariable("SONARO_SOURCE_DIR") + QStringLiteral("/resources/skin/sonaro.jpg");
    TfCd *form = apriCd();
    // As the main menu opens it: the default skin as background.
    form->FileSkin = fondo;
    form->Image1->setPixmap(loadPicture(fondo));
    // A virtual display has no window manager to maximise the form: do it here.
    form->setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    QTest::qWait(400);
    naviga(form, "DBNavigator1", DBNavigator::Next);
    QTest::qWait(200);
    EXPECT_TRUE(form->grab().save(dir + QStringLiteral("/fCd.png")));
    clic(form, "sbModifica");
    QTest::qWait(200);
    EXPECT_TRUE(form->grab().save(dir + QStringLiteral("/fCd-modifica.png")));
    clic(form, "sbAnnulla");
    chiudiCd();

    TfImpos *f = apriImpos();
    QTest::qWait(300);
    EXPECT_TRUE(f->grab().save(dir + QStringLiteral("/fImpos.png")));
    clic(f, "sbesci");
}
