// The Qt side of the dialogs seam and ApriFile.
#include "fixture.h"

#include "qtdialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QTimer>

#include <functional>

namespace {

QStringList buttonsOf(const std::function<void()> &show, const QString &answer)
{
    QStringList captions;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QAbstractButton *press = nullptr;
        for (QAbstractButton *b : box->buttons()) {
            captions.append(b->text());
            if (b->text() == answer)
                press = b;
        }
        ASSERT_NE(press, nullptr);
        press->click();
    });
    show();
    captions.sort();
    return captions;
}

} // namespace

TEST(QtDialogsTest, MessageBoxesSpeakItalian)
{
    QtDialogs qt;
    bool yes = true;
    EXPECT_EQ(buttonsOf([&] { yes = qt.confirm(QStringLiteral("Eliminare?")); }, QStringLiteral("No")),
              (QStringList{QStringLiteral("No"), QStringLiteral("S\u00EC")}));
    EXPECT_FALSE(yes);
    bool ok = false;
    EXPECT_EQ(buttonsOf([&] { ok = qt.information(QStringLiteral("Continuare?")); }, QStringLiteral("OK")),
              (QStringList{QStringLiteral("Annulla"), QStringLiteral("OK")}));
    EXPECT_TRUE(ok);
    EXPECT_EQ(buttonsOf([&] { qt.error(QStringLiteral("Errore")); }, QStringLiteral("OK")),
              QStringList{QStringLiteral("OK")});
}

TEST(QtDialogsTest, FiltersAndDefaultExtensions)
{
    EXPECT_EQ(qtFileFilter(QStringLiteral("File di Testo|*.txt")), QStringLiteral("File di Testo (*.txt)"));
    EXPECT_EQ(qtFileFilter(QStringLiteral("Immagini BMP|*.bmp|Tutti|*.bmp;*.jpg")),
              QStringLiteral("Immagini BMP (*.bmp);;Tutti (*.bmp *.jpg)"));
    EXPECT_EQ(withDefaultExtension(QStringLiteral("/tmp/testo"), QStringLiteral("txt")),
              QStringLiteral("/tmp/testo.txt"));
    EXPECT_EQ(withDefaultExtension(QStringLiteral("/tmp/testo.doc"), QStringLiteral("txt")),
              QStringLiteral("/tmp/testo.doc"));
    EXPECT_EQ(withDefaultExtension(QString(), QStringLiteral("txt")), QString()) << "cancelled";
    const QString pictures = pictureFilter();
    EXPECT_TRUE(pictures.startsWith(QStringLiteral("Tutte le immagini (")));
    for (const char *p : {"*.bmp", "*.jpg", "*.png", "*.ico"})
        EXPECT_TRUE(pictures.contains(QLatin1String(p))) << p;
}

TEST(QtDialogsTest, DesktopReportsAMissingFileWithoutOpeningAnything)
{
    QtDialogs qt;
    EXPECT_EQ(qt.openWithDesktop(QStringLiteral("/nessuna/cartella/manualeSonaro.htm")), 2);
}

TEST(ApriFileTest, RelativeNamesAreTakenInTheDirectoryOrTheCurrentOne)
{
    ScriptedDialogs dialogs;
    dialogs.expectDesktop(42).expectDesktop().expectDesktop().expectDesktop();
    EXPECT_EQ(ApriFile(QStringLiteral("licenzaSonaro.txt"), QString(), QString(), 5), 42);
    ApriFile(QStringLiteral("licenzaSonaro.txt"), QString(), QStringLiteral("/opt/sonaro"), 5);
    ApriFile(QStringLiteral("https://www.sonaro.example.org/"), QString(), QString(), 5);
    const QString deep = QStringLiteral("/") + QString(120, QLatin1Char('d'))
                         + QStringLiteral("/Manuale/manualeSonaro.htm");
    ApriFile(deep, QString(), QString(), 5);
    EXPECT_EQ(dialogs.texts(ScriptedDialogs::Kind::OpenWithDesktop),
              (QStringList{QDir::current().absoluteFilePath(QStringLiteral("licenzaSonaro.txt")),
                           QStringLiteral("/opt/sonaro/licenzaSonaro.txt"),
                           QStringLiteral("https://www.sonaro.example.org/"), deep}));
}

// Fault: the file dialogs of Esporta, Carica Cop. and Skin showed Qt's English captions
// ("Look in:", "File name:", "Files of type:").
TEST(QtDialogsTest, FileDialogsSpeakItalian)
{
    ASSERT_TRUE(installaTraduzioniQt()) << "Qt's Italian translation is not installed";
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QStringList captions;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        captions.append(label->text());
    EXPECT_FALSE(captions.contains(QStringLiteral("Look &in:"))) << captions.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(captions.contains(QStringLiteral("File &name:")));
    EXPECT_FALSE(captions.contains(QStringLiteral("Files of type:")));
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Files of type:"),
              QStringLiteral("Files of type:"));
}
