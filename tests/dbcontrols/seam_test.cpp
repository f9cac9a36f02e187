// The error box guard, the modal-window helper, the scripted dialogs, conversions and the
// plain shared controls.
#include "fixture.h"

#include "convert.h"
#include "dataset.h"
#include "errorbox.h"
#include "fieldvalue.h"
#include "modal.h"
#include "scripteddialogs.h"
#include "widgets.h"

#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest-spi.h>

using Kind = ScriptedDialogs::Kind;

TEST(ErrorBox, AnErrorEndsTheHandlerAtTheFailingStepAndIsShown)
{
    ScriptedDialogs dialogs;
    dialogs.expectError().expectError().expectError();
    QStringList steps;
    QPushButton button;
    connectHandler(&button, &QPushButton::clicked, &button, [&] {
        steps.append(QStringLiteral("first"));
        throw EngineError(QStringLiteral("Table does not exist"));
        steps.append(QStringLiteral("never"));
    });
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(steps, QStringList{QStringLiteral("first")}) << "earlier steps stay done";
    EXPECT_FALSE(runHandler([] { throw RuntimeError(QStringLiteral("Errore di I/O")); }));
    EXPECT_FALSE(runHandler([] { throw std::runtime_error("disk full"); }));
    EXPECT_TRUE(runHandler([] {}));
    EXPECT_EQ(dialogs.texts(Kind::Error),
              (QStringList{QStringLiteral("Table does not exist"), QStringLiteral("Errore di I/O"),
                           QStringLiteral("disk full")}));
}

TEST(ErrorBox, HandlersReceiveTheSignalsArguments)
{
    ScriptedDialogs dialogs;
    QPushButton button;
    button.setCheckable(true);
    bool seen = false;
    connectHandler(&button, &QPushButton::toggled, &button, [&](bool on) { seen = on; });
    button.click();
    EXPECT_TRUE(seen);
}

namespace {

class Window : public QDialog {
public:
    explicit Window(QWidget *parent) : QDialog(parent) { setObjectName(QStringLiteral("fProva")); }
    ~Window() override { ++freed; }
    static int freed;
};
int Window::freed = 0;
Window *fProva = nullptr;

} // namespace

TEST(ModalHelper, CreatesStoresRunsFreesAndClears)
{
    ScriptedDialogs dialogs;
    Window::freed = 0;
    QPointer<Window> during;
    dialogs.expectModal([&](QDialog &w) {
        EXPECT_EQ(fProva, &w) << "the global holds the window while it is shown";
        EXPECT_EQ(w.parent(), nullptr) << "owned by the application";
        during = fProva;
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(openModal(fProva), int(QDialog::Accepted));
    EXPECT_EQ(fProva, nullptr);
    EXPECT_TRUE(during.isNull()) << "freed when the modal loop returned";
    EXPECT_EQ(Window::freed, 1);
    EXPECT_EQ(dialogs.texts(Kind::ExecModal), QStringList{QStringLiteral("fProva")});
}

TEST(ModalHelper, AFailedPreparationFreesTheWindowWithoutShowingIt)
{
    ScriptedDialogs dialogs;
    dialogs.expectError();
    Window::freed = 0;
    const bool ok = runHandler([] {
        openModal(fProva, [](Window &) { throw RuntimeError(QStringLiteral("immagine mancante")); });
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(fProva, nullptr);
    EXPECT_EQ(Window::freed, 1);
    EXPECT_EQ(dialogs.count(Kind::ExecModal), 0);
}

TEST(ScriptedDialogsDouble, AnswersFromItsQueueAndFailsOnTheUnexpected)
{
    ScriptedDialogs dialogs;
    dialogs.expectConfirm(true).expectSaveFile(QStringLiteral("/tmp/x.txt")).expectInformation(false);
    EXPECT_TRUE(Dialogs::instance().confirm(QStringLiteral("Sicuro?")));
    FileDialogSpec opts;
    opts.filter = QStringLiteral("File di Testo|*.txt");
    EXPECT_EQ(Dialogs::instance().saveFile(opts), QStringLiteral("/tmp/x.txt"));
    EXPECT_FALSE(Dialogs::instance().information(QStringLiteral("Continuare?")));
    EXPECT_EQ(dialogs.calls().at(1).opts.filter, QStringLiteral("File di Testo|*.txt"));
    EXPECT_NONFATAL_FAILURE(Dialogs::instance().message(QStringLiteral("Ciao")), "unexpected dialog");
    dialogs.expectMessage();
    EXPECT_NONFATAL_FAILURE(Dialogs::instance().error(QStringLiteral("x")), "expected message");
    Dialogs::instance().message(QStringLiteral("ok")); // the expected one is still waiting
}

TEST(Conversions, DatesAreTypedInTheShortFormat)
{
    EXPECT_EQ(strToDate(QStringLiteral("01/03/99")), QDate(1999, 3, 1));
    EXPECT_EQ(strToDate(QStringLiteral("1/3/2024")), QDate(2024, 3, 1));
    EXPECT_EQ(strToDate(QStringLiteral("15/08/05")), QDate(2005, 8, 15));
    EXPECT_EQ(strToDate(QStringLiteral("5/6")), QDate(QDate::currentDate().year(), 6, 5));
    for (const char *bad : {"31/02/99", "  /  /  ", "", "12/13/99", "1/2/3/4", "abc", "14/06/199",
                            "14/06/19944"}) {
        try {
            strToDate(QString::fromLatin1(bad));
            ADD_FAILURE() << bad << " converted";
        } catch (const RuntimeError &e) {
            EXPECT_EQ(e.text(), QStringLiteral("'%1' is not a valid date").arg(QLatin1String(bad)));
        }
    }
}

// A two-digit year means the same in a typed box as in the engine: 1950-2049, whatever today is.
TEST(Conversions, TwoDigitYearsFollowTheEnginesWindow)
{
    EXPECT_EQ(strToDate(QStringLiteral("14/06/94")), QDate(1994, 6, 14));
    EXPECT_EQ(strToDate(QStringLiteral("31/12/49")), QDate(2049, 12, 31));
    EXPECT_EQ(strToDate(QStringLiteral("1/1/50")), QDate(1950, 1, 1));
    EXPECT_EQ(strToDate(QStringLiteral("29/02/00")), QDate(2000, 2, 29));
    for (int yy = 0; yy < 100; ++yy) {
        const QString typed = QStringLiteral("15/06/%1").arg(yy, 2, 10, QLatin1Char('0'));
        EXPECT_EQ(strToDate(typed), parseUserDate(typed)) << typed.toStdString();
    }
    // Four digits are taken as they are, and a date shown is read back unchanged.
    for (const QDate d : {QDate(1949, 3, 1), QDate(1994, 6, 14), QDate(2050, 1, 31), QDate(1899, 12, 31)}) {
        EXPECT_EQ(dateToStr(d).size(), 10) << "dd/MM/yyyy";
        EXPECT_EQ(strToDate(dateToStr(d)), d) << dateToStr(d).toStdString();
    }
    EXPECT_EQ(dateToStr(QDate(1994, 6, 14)), QStringLiteral("14/06/1994"));
    EXPECT_EQ(dateToStr(QDate()), QString());
}

TEST(Conversions, PicturesThatCannotBeLoadedAreReported)
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("nota.jpg"));
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a picture");
    f.close();
    EXPECT_THROW(loadPicture(QString()), RuntimeError);
    EXPECT_THROW(loadPicture(dir.filePath(QStringLiteral("manca.bmp"))), RuntimeError);
    EXPECT_THROW(loadPicture(text), RuntimeError);
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString jpeg = dir.filePath(QStringLiteral("ok.jpg"));
    ASSERT_TRUE(image.save(jpeg, "JPEG"));
    EXPECT_EQ(loadPicture(jpeg).size(), QSize(8, 4));
}

TEST(SharedControls, MaskedDateEditShowsBlanksAndTakesDigits)
{
    MaskEdit ed;
    ed.setEditMask(QStringLiteral("!99/99/00;1;_"));
    EXPECT_EQ(ed.text(), QStringLiteral("  /  /  "));
    ed.setFocus();
    ed.setCursorPosition(0);
    QTest::keyClicks(&ed, QStringLiteral("01a0399"));
    EXPECT_EQ(ed.text(), QStringLiteral("01/03/99")) << "letters are refused";
    EXPECT_EQ(strToDate(ed.text()), QDate(1999, 3, 1));
}

TEST(SharedControls, RadioGroupTellsTheChosenItem)
{
    RadioGroup group;
    group.setItems({QStringLiteral("Autori"), QStringLiteral("Provenienza"), QStringLiteral("Etichetta")});
    EXPECT_EQ(group.itemIndex(), -1);
    int clicks = 0;
    QObject::connect(&group, &RadioGroup::clicked, [&] { ++clicks; });
    group.setItemIndex(0);
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(group.itemButton(2), Qt::LeftButton);
    EXPECT_EQ(group.itemIndex(), 2);
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(group.itemButton(2)->isChecked());
    EXPECT_FALSE(group.itemButton(0)->isChecked());
    EXPECT_EQ(group.itemButton(1)->text(), QStringLiteral("Provenienza"));
}

// A window's design gives the index before the items (uic's order): the choice waits for them.
TEST(SharedControls, RadioGroupKeepsAnIndexGivenBeforeItsItems)
{
    const QStringList items{QStringLiteral("Autori"), QStringLiteral("Provenienza"),
                            QStringLiteral("Etichetta")};
    RadioGroup group;
    group.setProperty("itemIndex", 1);
    EXPECT_EQ(group.itemIndex(), -1) << "no item yet";
    group.setProperty("items", items);
    EXPECT_EQ(group.itemIndex(), 1);
    EXPECT_TRUE(group.itemButton(1)->isChecked());

    // A later choice replaces a waiting one; an index no item list reaches chooses nothing.
    RadioGroup other;
    other.setItemIndex(2);
    other.setItemIndex(-1);
    other.setItems(items);
    EXPECT_EQ(other.itemIndex(), -1);
    other.setItemIndex(5);
    EXPECT_EQ(other.itemIndex(), -1);
    EXPECT_EQ(other.itemButton(0)->isChecked() || other.itemButton(1)->isChecked()
                  || other.itemButton(2)->isChecked(),
              false);
}

TEST(SharedControls, SpeedButtonLeavesTheFocusWhereItWas)
{
    QWidget window;
    auto *edit = new QLineEdit(&window);
    auto *button = new SpeedButton(&window);
    button->move(0, 40);
    window.show();
    QApplication::setActiveWindow(&window);
    edit->setFocus();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(edit->hasFocus());
}
