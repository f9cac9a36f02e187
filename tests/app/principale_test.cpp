// The main menu: opening and closing the tables, set.xxt, the manual, the backup window's
// closed tables, and the files the build places beside the executable.
#include "fixture.h"

#include "errorbox.h"
#include "ui_principale.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QTest>

#if __has_include("main.h")
#define HAS_CD_FORM 1
#endif
#if __has_include("back.h")
#define HAS_BACKUP_WINDOW 1
#endif

using Kind = ScriptedDialogs::Kind;

TEST_F(MenuTest, CreationOpensTheNineTablesAndSetsTheCaption)
{
    fMain = new TfMain;
    EXPECT_EQ(openTables(), 9);
    EXPECT_FALSE(data->qRicerca.active());
    EXPECT_FALSE(data->qAnni.active());
    EXPECT_EQ(fMain->windowTitle(), QStringLiteral("Sonaro V1.8 By Tavolen"));
    EXPECT_EQ(fMain->size(), QSize(369, 222));
    EXPECT_EQ(fMain->minimumSize(), fMain->maximumSize()) << "fixed size";
    EXPECT_FALSE(fMain->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(fMain->windowFlags() & Qt::WindowMaximizeButtonHint);
    Ui::TfMain &ui = *fMain->ui;
    const std::pair<QToolButton *, const char *> buttons[] = {
        {ui.sbCd, "Gestione Cd"}, {ui.sbImp, "impostazioni"}, {ui.sbStat, "Statistiche"},
        {ui.sbManuale, "Manuale"}, {ui.sbAutore, "Autore"},   {ui.sbBackup, "Backup"},
        {ui.sbListe, "Liste"},     {ui.sbEsci, "Esci"}};
    for (const auto &[button, caption] : buttons) {
        EXPECT_EQ(button->text(), QString::fromUtf8(caption));
        EXPECT_FALSE(button->icon().isNull()) << caption << " has a glyph";
    }
    EXPECT_FALSE(ui.sbAutore->toolTip().isEmpty()) << "the author's name as hint";
    EXPECT_FALSE(ui.Image1->pixmap().isNull()) << "the background picture";
    EXPECT_TRUE(ui.Image1->hasScaledContents());
}

// Each table in turn is missing: the ones before it open, it and the ones after stay closed.
class MissingTableTest : public MenuTest, public ::testing::WithParamInterface<int> {};

TEST_P(MissingTableTest, StopsTheOpeningAtTheMissingTable)
{
    const int missing = GetParam();
    const QString file = tables()[size_t(missing)]->tableName();
    ASSERT_TRUE(QFile::remove(file)) << file.toStdString();
    dialogs.expectError();
    fMain = new TfMain;
    EXPECT_EQ(dialogs.count(Kind::Error), 1);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(tables()[size_t(i)]->active(), i < missing) << "table " << i;
    EXPECT_NE(fMain->windowTitle(), QStringLiteral("Sonaro V1.8 By Tavolen"));
    fMain->show();
    EXPECT_TRUE(fMain->isVisible()) << "the menu still shows";
}

INSTANTIATE_TEST_SUITE_P(EachTable, MissingTableTest, ::testing::Range(0, 9));

TEST_F(MenuTest, ClosingByTheTitleBarClosesTablesAndQueriesAsEsciDoes)
{
    for (const bool byTitleBar : {true, false}) {
        fMain = new TfMain;
        fMain->show();
        data->qAnni.open();
        data->qRicerca.clearSql();
        data->qRicerca.addSql(QStringLiteral("Select * From archivio"));
        data->qRicerca.open();
        if (byTitleBar) {
            QCloseEvent close; // what the window system sends for the close box
            QApplication::sendEvent(fMain, &close);
        } else {
            QTest::mouseClick(fMain->ui->sbEsci, Qt::LeftButton);
            EXPECT_FALSE(fMain->isVisible());
        }
        EXPECT_EQ(openTables(), 0) << (byTitleBar ? "title bar" : "Esci");
        EXPECT_FALSE(data->qRicerca.active());
        EXPECT_FALSE(data->qAnni.active());
        delete fMain;
        fMain = nullptr;
    }
}

TEST_F(MenuTest, MissingSetFileIsReportedAndTheOtherButtonsStillWork)
{
    fMain = new TfMain;
    dialogs.expectError();
    QTest::mouseClick(fMain->ui->sbCd, Qt::LeftButton);
    ASSERT_EQ(dialogs.count(Kind::Error), 1);
    EXPECT_TRUE(dialogs.texts(Kind::Error).front().contains(QStringLiteral("set.xxt")));
    EXPECT_EQ(dialogs.count(Kind::ExecModal), 0) << "the CD form is not shown";

    dialogs.expectModal(); // the about box
    QTest::mouseClick(fMain->ui->sbAutore, Qt::LeftButton);
    dialogs.expectDesktop();
    QTest::mouseClick(fMain->ui->sbManuale, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts(Kind::ExecModal), QStringList{QStringLiteral("AboutBox")});
    EXPECT_EQ(openTables(), 9);
}

TEST_F(MenuTest, SetFileWithABrokenPictureIsReported)
{
    fMain = new TfMain;
    const QByteArray broken[] = {
        "",                                                          // empty file
        "\r\n",                                                      // empty path
        programDir.filePath(QStringLiteral("manca.jpg")).toLocal8Bit() + "\r\n", // missing file
        programDir.filePath(QStringLiteral("set.xxt")).toLocal8Bit() + "\r\n",   // not a picture
    };
    for (const QByteArray &content : broken) {
        writeSet(content);
        dialogs.expectError();
        QTest::mouseClick(fMain->ui->sbCd, Qt::LeftButton);
    }
    EXPECT_EQ(dialogs.count(Kind::Error), 4);
    EXPECT_EQ(dialogs.count(Kind::ExecModal), 0);
}

TEST_F(MenuTest, SetFileGivesItsFirstLineOnly)
{
    const QString picture = writeSkin("sfondo.jpg", "\r\nC:\\altro\\sfondo.bmp\r\n");
    EXPECT_EQ(leggiSetXxt(), picture);
    fMain = new TfMain;
#ifdef HAS_CD_FORM
    dialogs.expectModal();
#endif
    QTest::mouseClick(fMain->ui->sbCd, Qt::LeftButton);
    EXPECT_EQ(dialogs.count(Kind::Error), 0) << "a good skin opens without complaint";
}

TEST_F(MenuTest, ManualIsOpenedFromBesideTheExecutable)
{
    fMain = new TfMain;
    dialogs.expectDesktop();
    QTest::mouseClick(fMain->ui->sbManuale, Qt::LeftButton);
    EXPECT_EQ(dialogs.texts(Kind::OpenWithDesktop),
              QStringList{programDir.path() + QStringLiteral("/Manuale/manualeSonaro.htm")});
}

TEST_F(MenuTest, BackupRunsWithEveryTableAndQueryClosedAndReopensThem)
{
    fMain = new TfMain;
    data->qAnni.open();
    // A restore brings back another catalogue's CDs.
    catalogo::DemoOptions other;
    other.cds = 3;
    other.seed = 9;
    QTemporaryDir elsewhere;
    catalogo::fillDemo(elsewhere.filePath(QStringLiteral("c")), other);
    bool ran = false;
    fMain->conTabelleChiuse([&] {
        ran = true;
        EXPECT_EQ(openTables(), 0);
        EXPECT_FALSE(data->qAnni.active());
        for (const char *f : {"archivio.db", "canzoni.db", "neg.db"}) {
            QFile::remove(QString::fromLatin1(f));
            EXPECT_TRUE(QFile::copy(elsewhere.filePath(QStringLiteral("c/") + QLatin1String(f)),
                                    QString::fromLatin1(f)));
        }
    });
    EXPECT_TRUE(ran);
    EXPECT_EQ(openTables(), 9);
    EXPECT_EQ(data->tArchivio.recordCount(), 3) << "the restored CDs show";
}

TEST_F(MenuTest, TableThatCannotBeReopenedAfterTheBackupIsReported)
{
    fMain = new TfMain;
    dialogs.expectError();
    const bool ok = runHandler([] {
        fMain->conTabelleChiuse([] { QFile::remove(QStringLiteral("sup.db")); });
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(dialogs.count(Kind::Error), 1);
    for (size_t i = 0; i < 9; ++i)
        EXPECT_EQ(tables()[i]->active(), i < 6) << "sup.db is the seventh in the order";
}

TEST_F(MenuTest, ButtonsWhoseWindowsAreMissingDoNothing)
{
    fMain = new TfMain;
    std::vector<QToolButton *> idle;
#if !__has_include("imp.h")
    idle.push_back(fMain->ui->sbImp);
#endif
#if !__has_include("statistiche.h")
    idle.push_back(fMain->ui->sbStat);
#endif
#if !__has_include("liste.h")
    idle.push_back(fMain->ui->sbListe);
#endif
#ifndef HAS_BACKUP_WINDOW
    idle.push_back(fMain->ui->sbBackup);
#endif
    if (idle.empty())
        GTEST_SKIP() << "every window is part of the build";
    for (QToolButton *b : idle)
        QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_TRUE(dialogs.calls().empty()) << "no dialog, no window";
    EXPECT_EQ(openTables(), 9);
}

TEST(Installation, TheBuildPlacesManualLicenceAndSkinBesideTheExecutable)
{
    const QDir bin(QCoreApplication::applicationDirPath());
    QFile manual(bin.filePath(QStringLiteral("Manuale/manualeSonaro.htm")));
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(manual.readAll());
    for (const char *caption : {"Gestione Cd", "impostazioni", "Statistiche", "Manuale", "Autore",
                                "Backup", "Liste", "Esci", "Licenza", "E-mail"})
        EXPECT_TRUE(html.contains(QString::fromUtf8(caption))) << caption;
    // The two windows the menu opens have their sections, linked from the index.
    for (const char *section : {"cd", "impostazioni"}) {
        EXPECT_TRUE(html.contains(QStringLiteral("id=\"%1\"").arg(QLatin1String(section)))) << section;
        EXPECT_TRUE(html.contains(QStringLiteral("href=\"#%1\"").arg(QLatin1String(section)))) << section;
    }
    EXPECT_TRUE(QFile::exists(bin.filePath(QStringLiteral("licenzaSonaro.txt"))));
    EXPECT_FALSE(QImage(bin.filePath(QStringLiteral("skin/sonaro.jpg"))).isNull()) << "the default skin";
    // Without a folder set, the program's files are the executable's.
    EXPECT_EQ(cartellaProgramma(), bin.path());
    // set.xxt is there; what it names may be the user's own choice by now. Read apart from
    // the program: no test runs the CD form against this file.
    QFile set(bin.filePath(QStringLiteral("set.xxt")));
    ASSERT_TRUE(set.open(QIODevice::ReadOnly));
    EXPECT_FALSE(set.readLine().trimmed().isEmpty());
}
