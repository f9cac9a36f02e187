#include "report.h"

#include <stdexcept>

ReportItem::ReportItem(ItemKind kind, QString name) : kind_(kind), name_(std::move(name)) {}

ReportItem &ReportItem::setLeft(double mm) { left_ = mm; return *this; }
ReportItem &ReportItem::setTop(double mm) { top_ = mm; return *this; }
ReportItem &ReportItem::setHeight(double mm) { height_ = mm; return *this; }
ReportItem &ReportItem::setWordWrap(bool on) { wordWrap_ = on; return *this; }
ReportItem &ReportItem::setAlignment(ItemAlign a) { alignment_ = a; return *this; }
ReportItem &ReportItem::setFont(const ReportFont &f) { font_ = f; return *this; }
ReportItem &ReportItem::setFontSize(double pt) { font_.pointSize = pt; return *this; }
ReportItem &ReportItem::setBold(bool on) { font_.bold = on; return *this; }
ReportItem &ReportItem::setItalic(bool on) { font_.italic = on; return *this; }
ReportItem &ReportItem::setUnderline(bool on) { font_.underline = on; return *this; }
ReportItem &ReportItem::setCaption(const QString &text) { caption_ = text; return *this; }
ReportItem &ReportItem::setThickness(double mm) { thickness_ = mm; return *this; }

ReportItem &ReportItem::setWidth(double mm)
{
    width_ = mm;
    autoWidth_ = false;
    return *this;
}

ReportItem &ReportItem::setAutoWidth(double designWidth)
{
    width_ = designWidth;
    autoWidth_ = true;
    return *this;
}

ReportItem &ReportItem::setRightEdge(double mm)
{
    // Anchored by its right edge: a zero design width puts that edge at `left`.
    alignment_ = ItemAlign::Right;
    autoWidth_ = true;
    left_ = mm;
    width_ = 0;
    return *this;
}

ReportItem &ReportItem::setField(const QString &fieldName, DataSet *source)
{
    fieldName_ = fieldName;
    dataSet_ = source;
    return *this;
}

ReportBand::ReportBand(BandKind kind, QString name, double height, const ReportFont &font)
    : kind_(kind), name_(std::move(name)), height_(height), font_(font)
{
}

ReportBand &ReportBand::setFrame(bool top, bool bottom)
{
    frameTop_ = top;
    frameBottom_ = bottom;
    return *this;
}

ReportItem &ReportBand::add(ItemKind kind, const QString &name, double left, double top)
{
    auto item = std::make_unique<ReportItem>(kind, name);
    item->setLeft(left).setTop(top).setFont(font_);
    items_.push_back(std::move(item));
    return *items_.back();
}

ReportItem &ReportBand::addLabel(const QString &name, double left, double top,
                                 const QString &caption)
{
    return add(ItemKind::Label, name, left, top).setCaption(caption);
}

ReportItem &ReportBand::addDataText(const QString &name, double left, double top,
                                    const QString &fieldName, DataSet *source)
{
    return add(ItemKind::DataText, name, left, top).setField(fieldName, source);
}

ReportItem &ReportBand::addPageNumber(const QString &name, double left, double top)
{
    return add(ItemKind::PageNumber, name, left, top);
}

ReportItem &ReportBand::addRule(const QString &name, double left, double top, double width)
{
    ReportItem &rule = add(ItemKind::Rule, name, left, top);
    return width > 0 ? rule.setWidth(width) : rule.setAutoWidth(0);
}

ReportItem &ReportBand::addTextBox(const QString &name, double left, double top, double width,
                                   double minHeight, const QString &fieldName, DataSet *source)
{
    return add(ItemKind::TextBox, name, left, top)
        .setWidth(width)
        .setHeight(minHeight)
        .setField(fieldName, source);
}

ReportItem *ReportBand::item(const QString &name) const
{
    for (const auto &i : items_)
        if (i->name() == name)
            return i.get();
    return nullptr;
}

Report::Report(QString name) : name_(std::move(name)) {}

ReportBand &Report::addBand(BandKind kind, double height, const QString &name)
{
    auto band = std::make_unique<ReportBand>(kind, name, height, font_);
    for (auto &b : bands_) {
        if (b->kind() == kind) {
            b = std::move(band);
            return *b;
        }
    }
    bands_.push_back(std::move(band));
    return *bands_.back();
}

ReportBand *Report::band(BandKind kind) const
{
    for (const auto &b : bands_)
        if (b->kind() == kind)
            return b.get();
    return nullptr;
}

ReportItem *Report::item(const QString &name) const
{
    for (const auto &b : bands_)
        if (ReportItem *i = b->item(name))
            return i;
    return nullptr;
}

ReportItem &Report::itemByName(const QString &name) const
{
    if (ReportItem *i = item(name))
        return *i;
    throw std::out_of_range("report item not found: " + name.toStdString());
}
