// Bands on pages: order, page breaks, the growing text box, empty data, streaming output.
#include "reportlayout.h"
#include "reportpainter.h"
#include "testcatalogue.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

int count(const ReportPage &page, BandKind band, const QString &name = QString())
{
    int n = 0;
    for (const PlacedItem &i : page.items)
        n += i.band == band && (name.isEmpty() || i.name == name);
    return n;
}

QStringList texts(const ReportPage &page, const QString &name)
{
    QStringList out;
    for (const PlacedItem &i : page.items)
        if (i.name == name)
            out << i.text;
    return out;
}

// The CD card: the current CD in the title and summary bands, its tracks in the detail band.
void buildCard(Report &r, TestCatalogue &cat)
{
    Table *cd = &cat.archivio;
    r.setDataSet(&cat.canzoni);
    ReportBand &title = r.addBand(BandKind::Title, 43.1, QStringLiteral("QRBand1"));
    title.setFrame(false, true);
    title.addLabel(QStringLiteral("QRLabel1"), 1.3, 1.9, QStringLiteral("N° CD :")).setBold();
    title.addDataText(QStringLiteral("QRDBText1"), 14.0, 1.9, QStringLiteral("Numero"), cd)
        .setBold()
        .setUnderline();
    title.addLabel(QStringLiteral("QRLabel2"), 28.8, 1.9, QStringLiteral("Codice :")).setBold();
    title.addDataText(QStringLiteral("QRDBText2"), 43.4, 1.9, QStringLiteral("Codice"), cd);
    title.addLabel(QStringLiteral("QRLabel12"), 131.0, 31.2, QStringLiteral("Valore :")).setBold();
    title.addDataText(QStringLiteral("QRDBText12"), 144.7, 31.2, QStringLiteral("Valore"), cd);
    title.addLabel(QStringLiteral("QRLabel13"), 1.3, 38.1, QStringLiteral("Titolo")).setBold();
    ReportBand &detail = r.addBand(BandKind::Detail, 5.3, QStringLiteral("QRBand2"));
    detail.addDataText(QStringLiteral("Nome"), 1.3, 0, QStringLiteral("Nome")).setFontSize(6);
    detail.addDataText(QStringLiteral("Tempo"), 0, 0, QStringLiteral("Tempo"))
        .setRightEdge(71.4)
        .setFontSize(6);
    ReportBand &summary = r.addBand(BandKind::Summary, 37.3, QStringLiteral("QRBand3"));
    summary.setFrame(true, false);
    summary.addLabel(QStringLiteral("QRLabel20"), 1.3, 2.9, QStringLiteral("Note")).setBold();
    summary.addTextBox(QStringLiteral("QRDBRichText1"), 2.1, 8.5, 184.4, 26.5,
                       QStringLiteral("Note"), cd);
    ReportBand &footer = r.addBand(BandKind::PageFooter, 5.6, QStringLiteral("QRBand4"));
    footer.addLabel(QStringLiteral("QRLabel17"), 0, 0, QStringLiteral("Sonaro")).setItalic();
    footer.addPageNumber(QStringLiteral("QRSysData1"), 172.5, 0).setFontSize(8);
}

class ReportPages : public ::testing::Test {
protected:
    TestCatalogue cat;
    void addCd(const QString &note)
    {
        TestCatalogue::add(cat.archivio, {{"Numero", 7}, {"Codice", "C007"}, {"Valore", 18.5},
                                          {"Note", note}});
    }
    void addTracks(int n)
    {
        for (int i = 1; i <= n; ++i)
            TestCatalogue::add(cat.canzoni, {{"Codice", "C007"},
                                             {"Nome", QStringLiteral("Brano %1").arg(i)},
                                             {"Tempo", QStringLiteral("%1:05").arg(i % 10)}});
    }
};

} // namespace

TEST_F(ReportPages, CardMatchesGoldenDump)
{
    addCd(QStringLiteral("Registrazione dal vivo.\r\nSeconda riga delle note."));
    addTracks(3);
    Report r;
    buildCard(r, cat);
    const QString dump = dumpReport(r);
    EXPECT_EQ(dump.toStdString(), readGolden(QStringLiteral("card.txt"), dump).toStdString());
}

TEST_F(ReportPages, BandsRepeatAsTheirKindsSay)
{
    addCd(QStringLiteral("Poche note."));
    addTracks(120); // three pages of tracks
    Report r;
    buildCard(r, cat);
    r.addBand(BandKind::ColumnHeader, 4, QStringLiteral("Header"))
        .addLabel(QStringLiteral("Caption"), 1.3, 0, QStringLiteral("Titolo"));
    const std::vector<ReportPage> pages = layoutReport(r);
    ASSERT_GE(pages.size(), 3u);
    int details = 0;
    for (const ReportPage &p : pages) {
        EXPECT_EQ(count(p, BandKind::Title) > 0, p.number == 1) << "page " << p.number;
        EXPECT_EQ(count(p, BandKind::ColumnHeader), 1) << "page " << p.number;
        EXPECT_EQ(texts(p, QStringLiteral("QRSysData1")), QStringList{QString::number(p.number)});
        EXPECT_EQ(count(p, BandKind::Summary) > 0, &p == &pages.back());
        details += count(p, BandKind::Detail, QStringLiteral("Nome"));
        // Nothing runs into the footer: it starts 10 + 5.6 mm above the paper's bottom.
        for (const PlacedItem &i : p.items) {
            if (i.band != BandKind::PageFooter) {
                EXPECT_LE(i.rect.bottom(), 297 - 10 - 5.6 + 1e-6) << i.name.toStdString();
            }
        }
    }
    EXPECT_EQ(details, 120);
    // Title, then header, then the first track, top to bottom on page 1.
    const auto y = [&](const QString &name) {
        for (const PlacedItem &i : pages[0].items)
            if (i.name == name)
                return i.rect.top();
        return -1.0;
    };
    EXPECT_LT(y(QStringLiteral("QRLabel1")), y(QStringLiteral("Caption")));
    EXPECT_LT(y(QStringLiteral("Caption")), y(QStringLiteral("Nome")));
    EXPECT_EQ(texts(pages[0], QStringLiteral("Nome")).first(), QStringLiteral("Brano 1"));
    EXPECT_EQ(texts(pages[1], QStringLiteral("Nome")).first(),
              QStringLiteral("Brano %1").arg(texts(pages[0], QStringLiteral("Nome")).size() + 1));
}

TEST_F(ReportPages, GrowingNotesSpillOntoTheNextPage)
{
    QStringList lines;
    for (int i = 1; i <= 40; ++i)
        lines << QStringLiteral("Riga %1 delle note, abbastanza lunga da occupare un po' di spazio "
                                "sulla pagina e andare a capo da sola.").arg(i);
    const QString note = lines.join(QStringLiteral("\r\n"));
    addCd(note);
    addTracks(30);
    Report r;
    buildCard(r, cat);
    const std::vector<ReportPage> pages = layoutReport(r);
    ASSERT_EQ(pages.size(), 2u);
    const QStringList first = texts(pages[0], QStringLiteral("QRDBRichText1"));
    const QStringList second = texts(pages[1], QStringLiteral("QRDBRichText1"));
    EXPECT_FALSE(first.isEmpty());
    EXPECT_FALSE(second.isEmpty());
    // Every word of the notes prints once, in order, across the two pages.
    EXPECT_EQ((first + second).join(QLatin1Char(' ')).simplified(),
              QString(note).replace(QLatin1String("\r\n"), QLatin1String(" ")).simplified());
    // The rest continues at the top of the next page, under no title; both pages have feet.
    double top = 1e9;
    for (const PlacedItem &i : pages[1].items)
        if (i.name == QStringLiteral("QRDBRichText1"))
            top = std::min(top, i.rect.top());
    EXPECT_NEAR(top, 10, 1e-6);
    EXPECT_EQ(count(pages[1], BandKind::Title), 0);
    EXPECT_EQ(texts(pages[1], QStringLiteral("QRSysData1")), QStringList{QStringLiteral("2")});
}

TEST_F(ReportPages, EmptyOrClosedDataGivesOnePageWithCaptionsAndFooter)
{
    addCd(QStringLiteral("Nessuna traccia."));
    Report r;
    buildCard(r, cat);
    for (bool closed : {false, true}) {
        if (closed)
            cat.canzoni.close();
        const std::vector<ReportPage> pages = layoutReport(r);
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(count(pages[0], BandKind::Detail), 0);
        EXPECT_EQ(texts(pages[0], QStringLiteral("QRLabel1")), QStringList{QStringLiteral("N° CD :")});
        EXPECT_EQ(texts(pages[0], QStringLiteral("QRDBRichText1")),
                  QStringList{QStringLiteral("Nessuna traccia.")});
        EXPECT_EQ(texts(pages[0], QStringLiteral("QRSysData1")), QStringList{QStringLiteral("1")});
    }
    r.page().printIfEmpty = false;
    EXPECT_TRUE(layoutReport(r).empty());
}

TEST_F(ReportPages, StreamedPdfHasEveryPage)
{
    addCd(QStringLiteral("Note."));
    addTracks(120);
    Report r;
    buildCard(r, cat);
    const size_t expected = layoutReport(r).size();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scheda.pdf"));
    EXPECT_EQ(exportReportPdf(r, path), int(expected));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "),
              qsizetype(expected));
    EXPECT_THROW(exportReportPdf(r, dir.filePath(QStringLiteral("no/such/dir/x.pdf"))),
                 std::runtime_error);
}

// Fault: a PDF that could not be written (a full disk) was reported as saved.
TEST_F(ReportPages, PdfOnAFullDiskIsAFailure)
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full";
    addCd(QStringLiteral("Note."));
    addTracks(120);
    Report r;
    buildCard(r, cat);
    EXPECT_THROW(exportReportPdf(r, QStringLiteral("/dev/full")), std::runtime_error);
}
