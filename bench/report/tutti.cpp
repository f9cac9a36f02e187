#include "tutti.h"

#include "report.h"

namespace {

struct Column {
    const char *caption;
    const char *captionName;
    double captionLeft;
    const char *dataName;
    const char *field;
    double left;
    double width; // 0: auto
    ItemAlign align;
};

const Column kColumns[] = {
    {"Num.", "qrlNumero", 1.1, "QRDBText1", "Numero", 1.1, 0, ItemAlign::Center},
    {"Codice", "QRLabel6", 9.0, "QRDBText7", "Codice", 9.0, 0, ItemAlign::Left},
    {"Autore", "QRLabel1", 20.9, "QRDBText2", "Autore", 20.9, 41.8, ItemAlign::Left},
    {"Titolo", "QRLabel2", 62.7, "QRDBText3", "Titolo", 62.7, 55.6, ItemAlign::Left},
    {"Tipo", "QRLabel3", 119.1, "QRDBText4", "Tipo", 119.1, 15.6, ItemAlign::Left},
    {"Durata", "QRLabel4", 135.7, "QRDBText5", "Durata", 135.7, 22.5, ItemAlign::Left},
    {"Tk.", "QRLabel5", 159.3, "QRDBText6", "Tracks", 159.3, 0, ItemAlign::Left},
    {"Prov.", "QRLabel7", 165.6, "QRDBText8", "Provenienza", 165.6, 6.3, ItemAlign::Center},
    {"Etichetta", "QRLabel8", 173.8, "QRDBText9", "Etichetta", 173.8, 40.7, ItemAlign::Left},
    {"Anno", "QRLabel9", 215.4, "QRDBText10", "Anno", 217.8, 0, ItemAlign::Right},
    {"Genere", "QRLabel10", 227.0, "QRDBText11", "Genere", 227.0, 13.8, ItemAlign::Left},
    {"Negozio", "QRLabel11", 242.1, "QRDBText12", "Negozio", 242.1, 31.5, ItemAlign::Left},
    {"Valore", "QRLabel12", 274.6, "QRDBText13", "Valore", 278.6, 0, ItemAlign::Right},
};

} // namespace

void buildTutti(Report &report, DataSet *data)
{
    report.setDataSet(data);
    PageSetup &page = report.page();
    page.orientation = Orientation::Landscape;
    page.topMargin = page.bottomMargin = page.leftMargin = page.rightMargin = 5;
    report.setDefaultFont({QStringLiteral("Arial"), 5});
    ReportBand &header = report.addBand(BandKind::ColumnHeader, 5.3, QStringLiteral("QRBand1"));
    header.setFrame(false, true);
    ReportBand &detail = report.addBand(BandKind::Detail, 2.6, QStringLiteral("QRBand2"));
    for (const Column &c : kColumns) {
        header.addLabel(QString::fromLatin1(c.captionName), c.captionLeft, 0,
                        QString::fromLatin1(c.caption))
            .setFontSize(QLatin1String(c.caption) == QLatin1String("Tipo") ? 10 : 8)
            .setBold();
        ReportItem &item = detail.addDataText(QString::fromLatin1(c.dataName), c.left, 0,
                                              QString::fromLatin1(c.field));
        item.setFont({QStringLiteral("Arial"), 5, false, false, false, true});
        if (c.width > 0)
            item.setWidth(c.width);
        item.setAlignment(c.align);
        if (c.width == 0 && c.align != ItemAlign::Left)
            item.setAutoWidth(6); // design width: right edge or centre measured from it
    }
    ReportBand &footer = report.addBand(BandKind::PageFooter, 4.2, QStringLiteral("QRBand4"));
    footer.addLabel(QStringLiteral("QRLabel17"), 1.9, 0, QStringLiteral("Sonaro - catalogo dei CD"))
        .setFontSize(5)
        .setItalic();
    footer.addPageNumber(QStringLiteral("QRSysData1"), 272.0, 0).setFontSize(6);
}
