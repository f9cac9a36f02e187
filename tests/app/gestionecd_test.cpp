// "Gestione Cd": the main menu opens the CD form on the skin set.xxt names, and the form
// writes the user's choice back, for the next opening and the next run.
#include "fixture.h"

#include "main.h"
#include "ui_principale.h"

#include <QAbstractButton>
#include <QTest>

using Kind = ScriptedDialogs::Kind;

namespace {

void clic(QWidget *form, const char *name)
{
    auto *b = form->findChild<QAbstractButton *>(QLatin1String(name));
    ASSERT_NE(b, nullptr) << name;
    QTest::mouseClick(b, Qt::LeftButton);
}

} // namespace

TEST_F(MenuTest, GestioneCdShowsTheSkinAndKeepsTheChosenOneAcrossOpeningsAndRuns)
{
    const QString first = writeSkin("sfondo.jpg", "\r\nsecond line\r\n");
    const QString chosen = programDir.filePath(QStringLiteral("scelta.png"));
    QImage image(80, 20, QImage::Format_RGB32);
    image.fill(Qt::darkRed);
    ASSERT_TRUE(image.save(chosen));

    fMain = new TfMain;
    dialogs.expectModal([&](QDialog &form) {
        auto &f = static_cast<TfCd &>(form);
        EXPECT_EQ(fCd, &f) << "kept in its global while it shows";
        EXPECT_EQ(f.FileSkin, first) << "the first line of set.xxt only";
        EXPECT_EQ(f.Image1->pixmap().size(), QSize(40, 30));
        f.show();
        dialogs.expectOpenPicture(chosen);
        clic(&f, "sbSkin");
        clic(&f, "sbesci");
        return int(QDialog::Rejected);
    });
    QTest::mouseClick(fMain->ui->sbCd, Qt::LeftButton);
    EXPECT_EQ(fCd, nullptr) << "freed and cleared when it closes";
    EXPECT_EQ(leggiSetXxt(), chosen);

    const auto reopen = [&] {
        dialogs.expectModal([&](QDialog &form) {
            auto &f = static_cast<TfCd &>(form);
            EXPECT_EQ(f.FileSkin, chosen);
            EXPECT_EQ(f.Image1->pixmap().size(), QSize(80, 20));
            f.show();
            f.close(); // the title bar's close box
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(fMain->ui->sbCd, Qt::LeftButton);
    };
    reopen();
    // Another run: the menu closes its tables, a new data module and menu start.
    fMain->close();
    delete fMain;
    fMain = nullptr;
    delete data;
    data = new Tdata;
    fMain = new TfMain;
    reopen();
    EXPECT_EQ(dialogs.count(Kind::Error), 0);
    EXPECT_EQ(dialogs.count(Kind::ExecModal), 3);
}
