// The about box, opened from the main menu as every window is.
#include "fixture.h"

#include "autore.h"
#include "ui_autore.h"
#include "ui_principale.h"

#include <QDir>
#include <QTest>

using Kind = ScriptedDialogs::Kind;

TEST_F(MenuTest, AboutBoxOpensItsLinksAndClosesWithOk)
{
    fMain = new TfMain;
    int result = -1;
    dialogs.expectModal([&](QDialog &window) {
        EXPECT_EQ(AboutBox, &window) << "kept in its global while shown";
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Autore"));
        Ui::TAboutBox &ui = *AboutBox->ui;
        EXPECT_EQ(ui.sbEmail->text(), QStringLiteral("E-mail"));
        EXPECT_EQ(ui.sbLic->text(), QStringLiteral("Licenza"));
        EXPECT_EQ(ui.OKButton->text(), QStringLiteral("OK"));
        EXPECT_TRUE(ui.OKButton->isDefault());
        EXPECT_FALSE(ui.lbAvviso->text().isEmpty());
        dialogs.expectDesktop().expectDesktop().expectDesktop().expectDesktop();
        QTest::mouseClick(ui.sbMainIT, Qt::LeftButton);
        QTest::mouseClick(ui.sbMainCOM, Qt::LeftButton);
        QTest::mouseClick(ui.sbEmail, Qt::LeftButton);
        QTest::mouseClick(ui.sbLic, Qt::LeftButton);
        QTest::mouseClick(ui.OKButton, Qt::LeftButton);
        result = window.result();
        return result;
    });
    QTest::mouseClick(fMain->ui->sbAutore, Qt::LeftButton);
    EXPECT_EQ(AboutBox, nullptr) << "freed and cleared";
    EXPECT_EQ(result, int(QDialog::Accepted));
    EXPECT_EQ(dialogs.texts(Kind::OpenWithDesktop),
              (QStringList{TAboutBox::primoSito, TAboutBox::secondoSito,
                           QStringLiteral("mailto:%1?subject=Sonaro").arg(TAboutBox::email),
                           QDir::current().absoluteFilePath(QStringLiteral("licenzaSonaro.txt"))}));
}
