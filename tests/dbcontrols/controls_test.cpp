// The data-aware text, picture and lookup controls, driven with the keyboard and mouse.
#include "fixture.h"

#include "convert.h"
#include "dbedit.h"
#include "dbimage.h"
#include "dblookup.h"

#include <QTest>
#include <QVBoxLayout>

using Kind = ScriptedDialogs::Kind;

TEST_F(CatalogueTest, EditBoxFollowsTheCurrentRecordWithoutEditingIt)
{
    DBEdit ed;
    int changes = 0;
    QObject::connect(&ed, &DBEdit::changed, [&] { ++changes; });
    ed.setDataSource(&dsCd);
    ed.setDataField(QStringLiteral("Codice"));
    EXPECT_EQ(ed.text(), at(cds, 0, QStringLiteral("Codice")));
    changes = 0;
    cds.next();
    EXPECT_EQ(ed.text(), at(cds, 1, QStringLiteral("Codice")));
    EXPECT_EQ(changes, 1) << "another record became current";
    cds.last();
    EXPECT_EQ(ed.text(), at(cds, cds.recordCount() - 1, QStringLiteral("Codice")));
    EXPECT_EQ(cds.state(), DataSetState::Browse);
    EXPECT_FALSE(cds.modified());
    EXPECT_EQ(ed.maxLength(), 10) << "Codice is ten characters wide";
}

TEST_F(CatalogueTest, TypingInAnEditBoxEditsTheRecordAtEachKeystroke)
{
    DBEdit ed;
    ed.setDataSource(&dsCd);
    ed.setDataField(QStringLiteral("Titolo"));
    QStringList seen;
    QObject::connect(&ed, &DBEdit::changed, [&] { seen.append(ed.text()); });
    ed.selectAll();
    QTest::keyClicks(&ed, QStringLiteral("Blu"));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("B"), QStringLiteral("Bl"), QStringLiteral("Blu")}));
    EXPECT_EQ(cds.state(), DataSetState::Edit);
    EXPECT_EQ(cds.fieldByName(QStringLiteral("Titolo"))->asString(), QStringLiteral("Blu"));
    cds.post();
    EXPECT_EQ(at(cds, cds.recNo(), QStringLiteral("Titolo")), QStringLiteral("Blu"));
}

TEST_F(CatalogueTest, EditBoxCannotTakeMoreThanTheFieldHolds)
{
    DBEdit ed;
    ed.setDataSource(&dsCd);
    ed.setDataField(QStringLiteral("AnnoP"));
    ed.selectAll();
    QTest::keyClicks(&ed, QStringLiteral("199912"));
    EXPECT_EQ(ed.text(), QStringLiteral("1999"));
    EXPECT_EQ(cds.fieldByName(QStringLiteral("AnnoP"))->asString(), QStringLiteral("1999"));
}

TEST_F(CatalogueTest, DisabledEditBoxIgnoresTyping)
{
    DBEdit ed;
    ed.setDataSource(&dsCd);
    ed.setDataField(QStringLiteral("Titolo"));
    const QString before = ed.text();
    ed.setEnabled(false);
    QTest::keyClicks(&ed, QStringLiteral("xyz"));
    EXPECT_EQ(ed.text(), before);
    EXPECT_EQ(cds.state(), DataSetState::Browse);
    ed.setEnabled(true);
    QTest::keyClicks(&ed, QStringLiteral("x"));
    EXPECT_EQ(cds.state(), DataSetState::Edit);
}

TEST_F(CatalogueTest, EditBoxConvertsNumbersAndDatesAsTheUserTypesThem)
{
    QWidget window;
    auto *value = new DBEdit(&window);
    auto *date = new DBEdit(&window);
    auto *other = new QLineEdit(&window);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(value);
    layout->addWidget(date);
    layout->addWidget(other);
    cds.fieldByName(QStringLiteral("Valore"))->setDisplayFormat(QStringLiteral("0,.00"));
    value->setDataSource(&dsCd);
    value->setDataField(QStringLiteral("Valore"));
    date->setDataSource(&dsCd);
    date->setDataField(QStringLiteral("Data"));
    showActive(window);

    value->setFocus();
    value->selectAll();
    QTest::keyClicks(value, QStringLiteral("1234,5"));
    EXPECT_DOUBLE_EQ(cds.fieldByName(QStringLiteral("Valore"))->asFloat(), 1234.5);
    other->setFocus();
    EXPECT_EQ(value->text(), QStringLiteral("1.234,50")) << "shown with its display format";

    date->setFocus();
    date->selectAll();
    QTest::keyClicks(date, QStringLiteral("01/03/99"));
    EXPECT_EQ(cds.fieldByName(QStringLiteral("Data"))->asDate(), QDate(1999, 3, 1));

    // A date that is still wrong when the user leaves the box is reported.
    date->setFocus();
    date->selectAll();
    QTest::keyClicks(date, QStringLiteral("31/02/99"));
    dialogs.expectError();
    other->setFocus();
    ASSERT_EQ(dialogs.count(Kind::Error), 1);
    EXPECT_EQ(dialogs.texts(Kind::Error).front(), QStringLiteral("'31/02/99' is not a valid date"));
}

// Fault: a wrong number or date typed in a box was reported in English.
TEST_F(CatalogueTest, WrongNumbersAndDatesAreReportedInItalian)
{
    QWidget window;
    auto *value = new DBEdit(&window);
    auto *date = new DBEdit(&window);
    auto *other = new QLineEdit(&window);
    value->setDataSource(&dsCd);
    value->setDataField(QStringLiteral("Valore"));
    date->setDataSource(&dsCd);
    date->setDataField(QStringLiteral("Data"));
    showActive(window);

    for (auto [box, typed] : {std::pair{value, "dieci"}, std::pair{date, "32/13/2001"}}) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(typed));
        dialogs.expectError();
        other->setFocus();
    }
    EXPECT_EQ(dialogs.texts(Kind::Error),
              QStringList({QStringLiteral("'dieci' non \u00E8 un numero valido"),
                           QStringLiteral("'32/13/2001' is not a valid date")}));
}

// A stored date shows with its four-digit year, in the box and while it is edited, so a date
// far from today keeps its century when the user changes only the day.
TEST_F(CatalogueTest, DateBoxShowsFourDigitYearsAndEditingKeepsTheCentury)
{
    QWidget window;
    auto *date = new DBEdit(&window);
    auto *other = new QLineEdit(&window);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(date);
    layout->addWidget(other);
    Field *data = cds.fieldByName(QStringLiteral("Data"));
    cds.edit();
    data->setAsDate(QDate(1949, 3, 1));
    cds.post();
    date->setDataSource(&dsCd);
    date->setDataField(QStringLiteral("Data"));
    showActive(window);
    EXPECT_EQ(date->text(), QStringLiteral("01/03/1949"));
    date->setFocus();
    EXPECT_EQ(date->text(), QStringLiteral("01/03/1949")) << "the same while editing";
    date->setCursorPosition(2); // after "01"
    QTest::keyClick(date, Qt::Key_Backspace);
    QTest::keyClicks(date, QStringLiteral("5"));
    other->setFocus();
    cds.post();
    EXPECT_EQ(data->asDate(), QDate(1949, 3, 5));
    EXPECT_EQ(date->text(), QStringLiteral("05/03/1949"));

    // Two typed digits: 00-49 this century, 50-99 the last one.
    for (const auto &[typed, wanted] : {std::pair{"14/06/94", QDate(1994, 6, 14)},
                                        std::pair{"14/06/49", QDate(2049, 6, 14)},
                                        std::pair{"14/06/50", QDate(1950, 6, 14)}}) {
        date->setFocus();
        date->selectAll();
        QTest::keyClicks(date, QString::fromLatin1(typed));
        other->setFocus();
        EXPECT_EQ(data->asDate(), wanted) << typed;
        EXPECT_EQ(date->text(), dateToStr(wanted)) << typed;
    }
    cds.cancel();
    EXPECT_EQ(date->text(), QStringLiteral("05/03/1949"));
}

TEST_F(CatalogueTest, TextLabelShowsTheFieldAsDisplayed)
{
    DBText label;
    label.setDataSource(&dsCd);
    label.setDataField(QStringLiteral("Numero"));
    EXPECT_EQ(label.text(), cds.fieldByName(QStringLiteral("Numero"))->displayText());
    cds.last();
    EXPECT_EQ(label.text(), cds.fieldByName(QStringLiteral("Numero"))->displayText());
    EXPECT_EQ(cds.state(), DataSetState::Browse);
}

TEST_F(CatalogueTest, MemoShowsAndEditsTheTrackLyrics)
{
    DBMemo memo;
    memo.setWordWrap(true);
    memo.setScrollBars(DBMemo::NoScrollBars);
    EXPECT_EQ(memo.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(memo.lineWrapMode(), QPlainTextEdit::WidgetWidth);
    memo.setDataSource(&dsTracks);
    memo.setDataField(QStringLiteral("Testo"));
    const auto lyrics = [&] {
        return tracks.fieldByName(QStringLiteral("Testo"))->asString().replace(
            QStringLiteral("\r\n"), QStringLiteral("\n"));
    };
    EXPECT_EQ(memo.toPlainText(), lyrics());
    EXPECT_TRUE(memo.toPlainText().contains(QLatin1Char('\n'))) << "lyrics of several lines";
    tracks.next();
    EXPECT_EQ(memo.toPlainText(), lyrics());
    EXPECT_EQ(tracks.state(), DataSetState::Browse) << "loading lyrics is not editing them";

    memo.selectAll();
    QTest::keyClicks(&memo, QStringLiteral("la la"));
    QTest::keyClick(&memo, Qt::Key_Return);
    QTest::keyClicks(&memo, QStringLiteral("lo"));
    EXPECT_EQ(tracks.state(), DataSetState::Edit);
    EXPECT_EQ(tracks.fieldByName(QStringLiteral("Testo"))->asString(), QStringLiteral("la la\r\nlo"))
        << "lines stored with CR LF";
    tracks.cancel();
    EXPECT_EQ(memo.toPlainText(), lyrics()) << "cancel shows the stored lyrics";
}

TEST_F(CatalogueTest, PictureIsShownAtItsOwnSizeCentredAndCut)
{
    // A 200 x 50 picture in a 105 x 105 box: wider than the box, lower than it.
    cds.edit();
    cds.fieldByName(QStringLiteral("Copertina"))->setAsBytes(catalogo::makeBmp(200, 50, 3));
    cds.post();
    DBImage image;
    image.setFrameStyle(QFrame::NoFrame);
    image.resize(105, 105);
    image.setDataSource(&dsCd);
    image.setDataField(QStringLiteral("Copertina"));
    ASSERT_EQ(image.picture().size(), QSize(200, 50));

    const QImage shown = image.grab().toImage();
    const QImage picture = image.picture().toImage();
    // Centred and cut: box pixel (x, y) is picture pixel (x + 47, y - 27).
    const int dx = (200 - 105) / 2, dy = (105 - 50) / 2;
    for (const QPoint p : {QPoint(0, 30), QPoint(52, 52), QPoint(104, 76), QPoint(20, 27)})
        EXPECT_EQ(shown.pixel(p), picture.pixel(p.x() + dx, p.y() - dy)) << p.x() << "," << p.y();
    // Not scaled: above and below the 50-pixel band the box shows its own ground.
    EXPECT_EQ(shown.pixel(52, 10), shown.pixel(52, 95));
    EXPECT_EQ(shown.pixel(52, 10), image.palette().color(QPalette::Window).rgb());
}

TEST_F(CatalogueTest, CdWithoutCoverShowsNoPicture)
{
    DBImage image;
    image.setDataSource(&dsCd);
    image.setDataField(QStringLiteral("Copertina"));
    int withCover = 0, without = 0;
    for (cds.first(); !cds.eof(); cds.next()) {
        const bool blob = !cds.fieldByName(QStringLiteral("Copertina"))->isNull();
        EXPECT_EQ(!image.picture().isNull(), blob) << "CD " << cds.recNo();
        (blob ? withCover : without)++;
        if (cds.recNo() == cds.recordCount() - 1)
            break;
    }
    EXPECT_GT(withCover, 0);
    EXPECT_GT(without, 0);
}

TEST_F(CatalogueTest, LookupListsNamesInTableOrderAndWritesTheChoice)
{
    DBLookupComboBox box;
    box.setListSource(&dsAuthors);
    box.setDataSource(&dsCd);
    box.setDataField(QStringLiteral("Autore"));
    ASSERT_EQ(box.count(), authors.recordCount());
    for (int row = 0; row < authors.recordCount(); ++row)
        EXPECT_EQ(box.itemText(row), at(authors, row, QStringLiteral("Nome")));
    EXPECT_EQ(box.text(), cds.fieldByName(QStringLiteral("Autore"))->asString());
    EXPECT_EQ(cds.state(), DataSetState::Browse);

    int clicks = 0;
    QObject::connect(&box, &DBLookupComboBox::clicked, [&] { ++clicks; });
    const QString chosen = box.itemText(3);
    box.setCurrentIndex(3);
    emit box.activated(3); // what choosing in the drop-down list does
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(cds.state(), DataSetState::Edit);
    EXPECT_EQ(cds.fieldByName(QStringLiteral("Autore"))->asString(), chosen);
}

TEST_F(CatalogueTest, LookupShowsAnEmptyBoxForATextNotInTheList)
{
    cds.edit();
    cds.fieldByName(QStringLiteral("Autore"))->setAsString(QStringLiteral("Autore sparito"));
    cds.post();
    DBLookupComboBox box;
    box.setListSource(&dsAuthors);
    box.setDataSource(&dsCd);
    box.setDataField(QStringLiteral("Autore"));
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(box.text(), QString());
    EXPECT_EQ(cds.fieldByName(QStringLiteral("Autore"))->asString(), QStringLiteral("Autore sparito"));
    EXPECT_EQ(cds.state(), DataSetState::Browse);
}

TEST_F(CatalogueTest, LookupListFollowsPostedChangesOfTheList)
{
    DBLookupComboBox box;
    box.setListSource(&dsAuthors);
    const int before = box.count();
    authors.append();
    authors.fieldByName(QStringLiteral("Nome"))->setAsString(QStringLiteral("Zeta Nuovo"));
    authors.post();
    EXPECT_EQ(box.count(), before + 1);
    EXPECT_GE(box.findText(QStringLiteral("Zeta Nuovo")), 0);
    authors.close();
    EXPECT_EQ(box.count(), 0);
}

TEST_F(CatalogueTest, UnboundLookupIsAPickListThatKeepsItsChoice)
{
    DBLookupComboBox box;
    box.setListSource(&dsAuthors);
    EXPECT_EQ(box.text(), QString()) << "nothing chosen at first";
    int clicks = 0;
    QObject::connect(&box, &DBLookupComboBox::clicked, [&] { ++clicks; });
    box.setCurrentIndex(2);
    emit box.activated(2);
    const QString chosen = at(authors, 2, QStringLiteral("Nome"));
    EXPECT_EQ(box.text(), chosen);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(authors.state(), DataSetState::Browse) << "a pick list writes nowhere";
    box.setEnabled(false);
    EXPECT_EQ(box.text(), chosen);
    box.setEnabled(true);
    authors.last(); // moving in the list's table changes nothing
    EXPECT_EQ(box.text(), chosen);
    QTest::keyClick(&box, Qt::Key_Delete);
    EXPECT_EQ(box.text(), QString());
    EXPECT_EQ(clicks, 2);
}

TEST_F(CatalogueTest, SuspendedControlsDoNotFollowUntilResumed)
{
    DBEdit ed;
    DBText label;
    ed.setDataSource(&dsCd);
    ed.setDataField(QStringLiteral("Codice"));
    label.setDataSource(&dsCd);
    label.setDataField(QStringLiteral("Titolo"));
    const QString first = ed.text();
    cds.disableControls();
    cds.last();
    EXPECT_EQ(ed.text(), first);
    cds.enableControls();
    EXPECT_EQ(ed.text(), at(cds, cds.recordCount() - 1, QStringLiteral("Codice")));
    EXPECT_EQ(label.text(), at(cds, cds.recordCount() - 1, QStringLiteral("Titolo")));
}

TEST_F(CatalogueTest, ClosingTheDatasetEmptiesTheControls)
{
    DBEdit ed;
    ed.setDataSource(&dsCd);
    ed.setDataField(QStringLiteral("Codice"));
    cds.close();
    EXPECT_EQ(ed.text(), QString());
    EXPECT_TRUE(ed.isReadOnly());
    cds.open();
    EXPECT_EQ(ed.text(), at(cds, 0, QStringLiteral("Codice")));
}
