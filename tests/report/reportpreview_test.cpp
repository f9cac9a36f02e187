// The preview shows the pages it was given, pages through them, prints and saves them.
#include "reportpreview.h"
#include "testcatalogue.h"

#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

qsizetype pdfPages(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray pdf = f.readAll();
    return pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page ");
}

class Preview : public ::testing::Test {
protected:
    TestCatalogue cat;
    Report report;
    void SetUp() override
    {
        for (int i = 1; i <= 200; ++i)
            TestCatalogue::add(cat.archivio, {{"Numero", i}, {"Codice", QStringLiteral("X%1").arg(i, 4, 10, QLatin1Char('0'))}});
        report.setDataSet(&cat.archivio);
        report.page().orientation = Orientation::Landscape;
        report.addBand(BandKind::Detail, 4.5).addDataText(QStringLiteral("Codice"), 1, 0,
                                                          QStringLiteral("Codice"));
        report.addBand(BandKind::PageFooter, 5).addPageNumber(QStringLiteral("Pagina"), 270, 0);
    }
};

} // namespace

TEST_F(Preview, PagesThroughWhatTheLayoutGave)
{
    ReportPreview preview(report);
    ASSERT_EQ(preview.pageCount(), 5); // 190 mm of room for 4.5 mm lines: 42 a page
    EXPECT_EQ(preview.currentPage(), 1);
    EXPECT_EQ(preview.pages()[0].width, 297);
    preview.showPage(99);
    EXPECT_EQ(preview.currentPage(), 5);
    preview.showPage(0);
    EXPECT_EQ(preview.currentPage(), 1);
    EXPECT_EQ(preview.zoom(), 1.0); // the report's 100 %
    preview.setZoom(2.0);
    EXPECT_EQ(preview.zoom(), 2.0);
    report.page().zoom = 150;
    EXPECT_EQ(ReportPreview(report).zoom(), 1.5);
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Anteprima di stampa"));
    QStringList buttons;
    for (const QPushButton *b : preview.findChildren<QPushButton *>())
        buttons << b->text();
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("Stampa..."), QStringLiteral("Salva PDF..."),
                                    QStringLiteral("Chiudi")}));
}

TEST_F(Preview, PrintsTheChosenRangeAndSavesEveryPage)
{
    ReportPreview preview(report);
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("stampa.pdf")));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    preview.printTo(printer);
    EXPECT_EQ(pdfPages(dir.filePath(QStringLiteral("stampa.pdf"))), 2);

    QPrinter copies(QPrinter::HighResolution);
    copies.setOutputFormat(QPrinter::PdfFormat);
    copies.setOutputFileName(dir.filePath(QStringLiteral("copie.pdf")));
    copies.setCopyCount(2);
    preview.printTo(copies);
    const qsizetype made = pdfPages(dir.filePath(QStringLiteral("copie.pdf")));
    EXPECT_EQ(made, copies.supportsMultipleCopies() ? 5 : 10);

    preview.savePdf(dir.filePath(QStringLiteral("tutto.pdf")));
    EXPECT_EQ(pdfPages(dir.filePath(QStringLiteral("tutto.pdf"))), 5);
}
