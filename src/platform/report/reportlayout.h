#pragma once
// The layout pass: a report and its data become pages of positioned items, one page at a
// time, so a long report never holds more than the page being produced.
//
// Order on a page: title (first page only), column header, then detail bands (one per row
// of the report's data set, walked from first to last) and finally the summary after the
// last row; the page footer sits at the bottom of every page. A band that does not fit
// goes to the next page; a band holding a growing text box is split between its lines.
#include "report.h"

#include <QFont>
#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

// The fonts of one pass with their measurements. Text is measured at a fixed resolution
// without hinting or kerning, so the same report lays out alike on every device.
class ReportFonts {
public:
    int add(const ReportFont &described); // index of that font, added when new
    int count() const { return int(fonts_.size()); }
    const ReportFont &described(int index) const { return fonts_[index].described; }
    const QFont &font(int index) const { return fonts_[index].font; }
    double ascent(int index) const { return fonts_[index].ascent; }     // mm
    double lineHeight(int index) const { return fonts_[index].height; } // mm
    double width(int index, const QString &text) const;                // mm
    static QFont makeFont(const ReportFont &described);

private:
    struct Entry {
        ReportFont described;
        QFont font;
        double ascent = 0;
        double height = 0;
        mutable std::vector<float> latin1; // advance per Latin-1 character, -1 unknown
    };
    std::vector<Entry> fonts_;
};

// One line of text, or one rule, at its place on the paper.
struct PlacedItem {
    BandKind band = BandKind::Detail;
    ItemKind kind = ItemKind::Label; // Rule draws a filled bar, anything else a text line
    QString name;
    QString text;
    QRectF rect;       // mm from the paper's top-left corner: the item's box on this line
    double textX = 0;  // mm: where the text starts, alignment applied
    int font = 0;      // index into the page's fonts
    ItemAlign alignment = ItemAlign::Left;
};

struct ReportPage {
    int number = 0;
    double width = 210; // mm
    double height = 297;
    std::vector<PlacedItem> items;
    std::shared_ptr<const ReportFonts> fonts;
};

class ReportLayout {
public:
    // Moves the report's data set to its first row; the pass walks it to the last. While
    // the pass lives the data set's controls are disabled.
    explicit ReportLayout(Report &report);
    ~ReportLayout();
    ReportLayout(const ReportLayout &) = delete;
    ReportLayout &operator=(const ReportLayout &) = delete;

    // Produces the next page into `page` (reusing its storage); false when there is none.
    bool nextPage(ReportPage &page);

    std::shared_ptr<const ReportFonts> fonts() const;

private:
    struct State;
    std::unique_ptr<State> s;
};

// Every page of a report, for the preview and for tests.
std::vector<ReportPage> layoutReport(Report &report);

// Text dump of laid-out pages: one line per page and per item, millimetres to 0.1.
QString dumpPage(const ReportPage &page);
QString dumpReport(Report &report);
