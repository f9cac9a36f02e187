#pragma once
// A banded report described in code, in millimetres: page set-up, bands and their items.
// The layout pass (reportlayout.h) turns a report and its data into pages; the painter
// (reportpainter.h) draws those pages on any QPainter device.
#include <QString>

#include <memory>
#include <vector>

class DataSet;

enum class BandKind { Title, ColumnHeader, Detail, Summary, PageFooter };
enum class ItemKind { Label, DataText, PageNumber, Rule, TextBox };
enum class ItemAlign { Left, Center, Right };

struct ReportFont {
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool fixedPitch = false; // requested; the font matcher decides

    bool operator==(const ReportFont &) const = default;
};

enum class Orientation { Portrait, Landscape };

struct PageSetup {
    // A4 only: every report of the program prints on it.
    Orientation orientation = Orientation::Portrait;
    double topMargin = 10;
    double bottomMargin = 10;
    double leftMargin = 10;
    double rightMargin = 10;
    int columns = 1;
    int zoom = 100;
    bool printIfEmpty = true;      // captions and footer even without rows
    bool footerOnLastPage = true;

    double paperWidth() const { return orientation == Orientation::Portrait ? 210 : 297; }
    double paperHeight() const { return orientation == Orientation::Portrait ? 297 : 210; }
    double bandWidth() const { return paperWidth() - leftMargin - rightMargin; }
};

// One printed element of a band. Positions are millimetres from the band's top-left corner.
//
// Width: an auto-width item is as wide as its text and keeps its anchor (left edge for
// left alignment, right edge left+width for right, centre left+width/2 for centred), so
// a right-aligned auto item grows to the left. A fixed-width item wraps its text at word
// boundaries and prints only the lines that fit its height; nothing prints beyond its box.
// Height: one line of its font unless set; only a TextBox grows to hold its whole text.
class ReportItem {
public:
    ReportItem(ItemKind kind, QString name);

    ItemKind kind() const { return kind_; }
    const QString &name() const { return name_; }

    double left() const { return left_; }
    double top() const { return top_; }
    double width() const { return width_; }
    double height() const { return height_; }
    bool autoWidth() const { return autoWidth_; }
    bool wordWrap() const { return wordWrap_; }
    ItemAlign alignment() const { return alignment_; }
    const ReportFont &font() const { return font_; }
    const QString &caption() const { return caption_; }
    const QString &fieldName() const { return fieldName_; }
    DataSet *dataSet() const { return dataSet_; }
    double thickness() const { return thickness_; }

    // Setters return the item so a report reads as a list of chained calls.
    ReportItem &setLeft(double mm);
    ReportItem &setTop(double mm);
    ReportItem &setWidth(double mm);     // fixed width
    ReportItem &setAutoWidth(double designWidth = 0);
    ReportItem &setHeight(double mm);
    ReportItem &setWordWrap(bool on);
    ReportItem &setAlignment(ItemAlign a);
    // Right-aligned auto-width item whose right edge stays at `mm`.
    ReportItem &setRightEdge(double mm);
    ReportItem &setFont(const ReportFont &f);
    ReportItem &setFontSize(double pt);
    ReportItem &setBold(bool on = true);
    ReportItem &setItalic(bool on = true);
    ReportItem &setUnderline(bool on = true);
    ReportItem &setCaption(const QString &text);
    // Binds to a field by name; `source` null means the report's own data set.
    ReportItem &setField(const QString &fieldName, DataSet *source = nullptr);
    ReportItem &setThickness(double mm);

private:
    ItemKind kind_;
    QString name_;
    double left_ = 0;
    double top_ = 0;
    double width_ = 0;
    double height_ = 0;
    bool autoWidth_ = true;
    bool wordWrap_ = true;
    ItemAlign alignment_ = ItemAlign::Left;
    ReportFont font_;
    QString caption_;
    QString fieldName_;
    DataSet *dataSet_ = nullptr;
    double thickness_ = 0.2;
};

class ReportBand {
public:
    ReportBand(BandKind kind, QString name, double height, const ReportFont &font);

    BandKind kind() const { return kind_; }
    const QString &name() const { return name_; }
    double height() const { return height_; }
    void setHeight(double mm) { height_ = mm; }
    // Rules along the band's top or bottom edge, across the band's width.
    bool frameTop() const { return frameTop_; }
    bool frameBottom() const { return frameBottom_; }
    ReportBand &setFrame(bool top, bool bottom);

    // Items take the band's font (the report's default) until told otherwise.
    ReportItem &addLabel(const QString &name, double left, double top, const QString &caption);
    ReportItem &addDataText(const QString &name, double left, double top,
                            const QString &fieldName, DataSet *source = nullptr);
    ReportItem &addPageNumber(const QString &name, double left, double top);
    // A horizontal rule `width` long (0: to the band's right edge) at `top`.
    ReportItem &addRule(const QString &name, double left, double top, double width = 0);
    // A box of fixed width showing a field's whole text; it grows downwards as needed.
    ReportItem &addTextBox(const QString &name, double left, double top, double width,
                           double minHeight, const QString &fieldName,
                           DataSet *source = nullptr);

    const std::vector<std::unique_ptr<ReportItem>> &items() const { return items_; }
    ReportItem *item(const QString &name) const;

private:
    ReportItem &add(ItemKind kind, const QString &name, double left, double top);

    BandKind kind_;
    QString name_;
    double height_;
    bool frameTop_ = false;
    bool frameBottom_ = false;
    ReportFont font_;
    std::vector<std::unique_ptr<ReportItem>> items_;
};

class Report {
public:
    explicit Report(QString name = QStringLiteral("QuickRep1"));
    Report(const Report &) = delete;
    Report &operator=(const Report &) = delete;

    const QString &name() const { return name_; }
    PageSetup &page() { return page_; }
    const PageSetup &page() const { return page_; }
    const QString &title() const { return title_; }
    void setTitle(const QString &t) { title_ = t; }

    // The font new bands hand to their items.
    const ReportFont &defaultFont() const { return font_; }
    void setDefaultFont(const ReportFont &f) { font_ = f; }

    // The data set the detail band walks, from its first row to its last; it may be null
    // or closed, which prints like an empty one.
    DataSet *dataSet() const { return dataSet_; }
    void setDataSet(DataSet *ds) { dataSet_ = ds; }

    // One band per kind; adding a kind again replaces the earlier band.
    ReportBand &addBand(BandKind kind, double height, const QString &name = QString());
    ReportBand *band(BandKind kind) const;
    const std::vector<std::unique_ptr<ReportBand>> &bands() const { return bands_; }

    // Looks an item up by name in every band (nullptr when absent).
    ReportItem *item(const QString &name) const;
    // Same, but a missing name is a programming error: throws std::out_of_range.
    ReportItem &itemByName(const QString &name) const;

    // Design units are screen pixels at 96 per inch and 100 % zoom.
    static double mmFromDesignUnits(double units) { return units * 25.4 / 96.0; }

private:
    QString name_;
    QString title_;
    PageSetup page_;
    ReportFont font_;
    DataSet *dataSet_ = nullptr;
    std::vector<std::unique_ptr<ReportBand>> bands_;
};
