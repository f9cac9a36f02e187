// Items on laid-out pages: what each kind of item prints and where.
#include "reportlayout.h"
#include "testcatalogue.h"

#include <gtest/gtest.h>

namespace {

const PlacedItem *find(const ReportPage &page, const QString &name)
{
    for (const PlacedItem &i : page.items)
        if (i.name == name)
            return &i;
    return nullptr;
}

std::vector<const PlacedItem *> findAll(const ReportPage &page, const QString &name)
{
    std::vector<const PlacedItem *> out;
    for (const PlacedItem &i : page.items)
        if (i.name == name)
            out.push_back(&i);
    return out;
}

// A portrait listing like the five-column one: title captions, one line per CD, footer.
void buildListing(Report &r, DataSet *data)
{
    r.setDataSet(data);
    r.page().leftMargin = r.page().rightMargin = 5;
    r.setDefaultFont({QStringLiteral("Arial"), 8});
    ReportBand &title = r.addBand(BandKind::Title, 5.8, QStringLiteral("QRBand1"));
    title.setFrame(false, true);
    const char *captions[] = {"Numero", "Autore", "Titolo", "Supporto", "Durata"};
    const double capLeft[] = {1.1, 17.5, 72.2, 146.8, 175.9};
    const char *names[] = {"qrlNumero", "QRLabel1", "QRLabel2", "QRLabel3", "QRLabel4"};
    for (int i = 0; i < 5; ++i)
        title.addLabel(QString::fromLatin1(names[i]), capLeft[i], 0, QString::fromLatin1(captions[i]))
            .setFontSize(10)
            .setBold();
    ReportBand &detail = r.addBand(BandKind::Detail, 4.8, QStringLiteral("QRBand2"));
    detail.addDataText(QStringLiteral("QRDBText1"), 2.6, 0, QStringLiteral("Numero"))
        .setAutoWidth(10.4) // centred under its caption
        .setAlignment(ItemAlign::Center);
    detail.addDataText(QStringLiteral("QRDBText2"), 17.5, 0, QStringLiteral("Autore")).setWidth(53.4);
    detail.addDataText(QStringLiteral("QRDBText3"), 71.7, 0, QStringLiteral("Titolo"));
    detail.addDataText(QStringLiteral("QRDBText4"), 146.8, 0, QStringLiteral("Supporto"));
    detail.addDataText(QStringLiteral("QRDBText5"), 175.9, 0, QStringLiteral("Durata"));
    ReportBand &footer = r.addBand(BandKind::PageFooter, 5.6, QStringLiteral("QRBand4"));
    footer.addLabel(QStringLiteral("QRLabel17"), 1.9, 0, QStringLiteral("Sonaro - catalogo dei CD")).setItalic();
    footer.addPageNumber(QStringLiteral("QRSysData1"), 172.5, 0);
}

class ReportItems : public ::testing::Test {
protected:
    TestCatalogue cat;
    void addCd(int n, const QString &codice, const QString &autore, const QString &titolo)
    {
        TestCatalogue::add(cat.archivio, {{"Numero", n}, {"Codice", codice}, {"Autore", autore},
                                          {"Titolo", titolo}, {"Supporto", "CD"},
                                          {"Durata", "45:10"}, {"Valore", 1234.5}});
    }
};

} // namespace

TEST_F(ReportItems, ListingMatchesGoldenDump)
{
    addCd(1, QStringLiteral("A001"), QStringLiteral("Beatles"), QStringLiteral("Abbey Road"));
    addCd(2, QStringLiteral("A002"), QStringLiteral("WOLFGANG AMADEUS MOZART QUARTETTO"),
          QStringLiteral("Le quattro stagioni, concerti per violino"));
    addCd(13, QStringLiteral("A003"), QStringLiteral("Mina"), QStringLiteral("Mina 25"));
    Query q(QStringLiteral("qRicerca"));
    q.addSql(QStringLiteral("Select * from Archivio"));
    q.open();
    Report r;
    buildListing(r, &q);
    const QString dump = dumpReport(r);
    EXPECT_EQ(dump.toStdString(), readGolden(QStringLiteral("listing.txt"), dump).toStdString());
}

TEST_F(ReportItems, FieldMissingFromTheDataSetPrintsEmpty)
{
    addCd(1, QStringLiteral("A001"), QStringLiteral("Beatles"), QStringLiteral("Abbey Road"));
    Query q(QStringLiteral("qRicerca"));
    q.addSql(QStringLiteral("Select Codice, Autore from Archivio"));
    q.open();
    Report r;
    buildListing(r, &q);
    const std::vector<ReportPage> pages = layoutReport(r);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(find(pages[0], QStringLiteral("QRDBText2"))->text, QStringLiteral("Beatles"));
    for (const char *empty : {"QRDBText1", "QRDBText3", "QRDBText4", "QRDBText5"})
        EXPECT_EQ(find(pages[0], QString::fromLatin1(empty))->text, QString()) << empty;
}

TEST_F(ReportItems, FixedWidthCutsAndAutoWidthGrows)
{
    const QString longAuthor = QStringLiteral("WOLFGANG AMADEUS MOZART QUARTETTO"); // 33, the most
    const QString longTitle = QStringLiteral("Le quattro stagioni, concerti per violino");
    addCd(1, QStringLiteral("A001"), longAuthor, QStringLiteral("Abbey Road"));
    addCd(2, QStringLiteral("A002"), QStringLiteral("Mina"), longTitle);
    Report r;
    buildListing(r, &cat.archivio);
    const std::vector<ReportPage> pages = layoutReport(r);
    const auto authors = findAll(pages[0], QStringLiteral("QRDBText2"));
    const auto titles = findAll(pages[0], QStringLiteral("QRDBText3"));
    ASSERT_EQ(authors.size(), 2u);
    const ReportFonts &fonts = *pages[0].fonts;
    // The fixed 53.4 mm column keeps its width and prints only the words that fit.
    EXPECT_DOUBLE_EQ(authors[0]->rect.width(), 53.4);
    EXPECT_TRUE(longAuthor.startsWith(authors[0]->text));
    EXPECT_LT(authors[0]->text.size(), longAuthor.size());
    EXPECT_EQ(longAuthor.at(authors[0]->text.size()), QLatin1Char(' ')); // cut between words
    EXPECT_LE(fonts.width(authors[0]->font, authors[0]->text), 53.4);
    // The auto-width title is as wide as its text, whole.
    EXPECT_EQ(titles[1]->text, longTitle);
    EXPECT_NEAR(titles[1]->rect.width(), fonts.width(titles[1]->font, longTitle), 1e-9);
    EXPECT_GT(titles[1]->rect.width(), titles[0]->rect.width());
    EXPECT_DOUBLE_EQ(titles[1]->rect.left(), 5 + 71.7);
}

TEST_F(ReportItems, RightAlignedItemsKeepTheirRightEdge)
{
    addCd(1, QStringLiteral("A001"), QStringLiteral("Mina"), QStringLiteral("Mina 25"));
    TestCatalogue::add(cat.archivio, {{"Numero", 2}, {"Codice", "A002"}, {"Valore", 9.9}});
    Report r;
    r.setDataSet(&cat.archivio);
    ReportBand &detail = r.addBand(BandKind::Detail, 6.35);
    detail.addDataText(QStringLiteral("Spesa"), 0, 0, QStringLiteral("Valore")).setRightEdge(122.5);
    detail.addDataText(QStringLiteral("Fixed"), 130, 0, QStringLiteral("Codice"))
        .setWidth(20)
        .setAlignment(ItemAlign::Right);
    const std::vector<ReportPage> pages = layoutReport(r);
    const auto spesa = findAll(pages[0], QStringLiteral("Spesa"));
    const auto fixed = findAll(pages[0], QStringLiteral("Fixed"));
    ASSERT_EQ(spesa.size(), 2u);
    // Values print as the field displays them, and grow to the left of the same edge.
    EXPECT_EQ(spesa[0]->text, QStringLiteral("1.234,50"));
    EXPECT_EQ(spesa[1]->text, QStringLiteral("9,90"));
    for (const PlacedItem *p : spesa)
        EXPECT_NEAR(p->rect.right(), 10 + 122.5, 1e-9);
    EXPECT_LT(spesa[0]->rect.left(), spesa[1]->rect.left());
    const ReportFonts &fonts = *pages[0].fonts;
    EXPECT_NEAR(fixed[0]->textX + fonts.width(fixed[0]->font, QStringLiteral("A001")), 160, 1e-9);
}

TEST_F(ReportItems, FontsReachThePlacedItems)
{
    Report r;
    r.setDefaultFont({QStringLiteral("Arial"), 5, false, false, false, true});
    ReportBand &header = r.addBand(BandKind::ColumnHeader, 5.3);
    header.addLabel(QStringLiteral("Tipo"), 119.1, 0, QStringLiteral("Tipo")).setFontSize(10).setBold();
    header.addLabel(QStringLiteral("Num"), 1.1, 0, QStringLiteral("Num.")).setUnderline().setItalic();
    const std::vector<ReportPage> pages = layoutReport(r);
    const ReportFonts &fonts = *pages[0].fonts;
    const ReportFont &tipo = fonts.described(find(pages[0], QStringLiteral("Tipo"))->font);
    const ReportFont &num = fonts.described(find(pages[0], QStringLiteral("Num"))->font);
    EXPECT_EQ(tipo.pointSize, 10);
    EXPECT_TRUE(tipo.bold);
    EXPECT_TRUE(tipo.fixedPitch);
    EXPECT_TRUE(num.underline && num.italic && !num.bold);
    EXPECT_EQ(num.pointSize, 5);
    // Arial is what the report asks for; the line height follows the size.
    EXPECT_EQ(fonts.font(0).family(), QStringLiteral("Arial"));
    EXPECT_GT(fonts.lineHeight(find(pages[0], QStringLiteral("Tipo"))->font),
              1.8 * fonts.lineHeight(find(pages[0], QStringLiteral("Num"))->font));
}

TEST_F(ReportItems, ItemsChangedBeforeTheRunPrintChanged)
{
    addCd(1, QStringLiteral("A001"), QStringLiteral("Mina"), QStringLiteral("Mina 25"));
    Report r;
    buildListing(r, &cat.archivio);
    r.itemByName(QStringLiteral("QRLabel3")).setCaption(QStringLiteral("Codice"))
        .setLeft(Report::mmFromDesignUnits(770));
    r.itemByName(QStringLiteral("QRDBText4")).setField(QStringLiteral("Codice"))
        .setLeft(Report::mmFromDesignUnits(770));
    r.itemByName(QStringLiteral("QRDBText5")).setField(QStringLiteral("Valore"))
        .setAlignment(ItemAlign::Right);
    EXPECT_EQ(r.item(QStringLiteral("QRLabel99")), nullptr);
    EXPECT_THROW(r.itemByName(QStringLiteral("QRLabel99")), std::out_of_range);
    const ReportPage page = layoutReport(r).at(0);
    const PlacedItem *caption = find(page, QStringLiteral("QRLabel3"));
    EXPECT_EQ(caption->text, QStringLiteral("Codice"));
    EXPECT_NEAR(caption->rect.left(), 5 + 203.7, 0.05);
    EXPECT_EQ(find(page, QStringLiteral("QRDBText4"))->text, QStringLiteral("A001"));
    EXPECT_EQ(find(page, QStringLiteral("QRDBText5"))->alignment, ItemAlign::Right);
    EXPECT_EQ(find(page, QStringLiteral("QRDBText5"))->text, QStringLiteral("1.234,50"));
}

TEST_F(ReportItems, WalkLeavesTheLastRowCurrentAndControlsEnabled)
{
    for (int i = 1; i <= 3; ++i)
        addCd(i, QStringLiteral("A00%1").arg(i), QStringLiteral("Autore %1").arg(i), QString());
    cat.archivio.first();
    Report r;
    buildListing(r, &cat.archivio);
    layoutReport(r);
    EXPECT_EQ(cat.archivio.recNo(), 2);
    EXPECT_FALSE(cat.archivio.controlsDisabled());
}

// Regression: a walk that failed at its first step left the data set's controls disabled.
TEST_F(ReportItems, FailedWalkGivesTheControlsBack)
{
    addCd(1, QStringLiteral("A001"), QStringLiteral("Mina"), QStringLiteral("Mina 25"));
    cat.archivio.append();
    cat.archivio.fieldByName(QStringLiteral("Autore"))->setAsString(QStringLiteral("Senza codice"));
    Report r;
    buildListing(r, &cat.archivio);
    EXPECT_THROW(layoutReport(r), EngineError); // moving posts the record, which has no code
    EXPECT_FALSE(cat.archivio.controlsDisabled());
}
