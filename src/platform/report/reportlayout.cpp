#include "reportlayout.h"

#include "dataset.h"
#include "reporttext.h"

#include <QHash>

#include <cmath>
#include <optional>

namespace {

constexpr double kRuleThickness = 0.2; // mm: band frame lines

// A band evaluated for the current row: its height and items, y relative to the band top.
struct BandPiece {
    double height = 0;
    bool splittable = false; // holds a growing text box
    std::vector<PlacedItem> items;
};

QString fieldText(Field *field)
{
    if (!field)
        return QString();
    // Memos print their whole text; every other field as the data set displays it.
    return field->dataType() == FieldType::Memo ? field->asString() : field->displayText();
}

} // namespace

enum class Phase { Rows, Summary, Done };

struct ReportLayout::State {
    Report &report;
    std::shared_ptr<ReportFonts> fonts = std::make_shared<ReportFonts>();
    QHash<const ReportItem *, int> fontOf;
    QHash<const ReportItem *, Field *> fieldOf;
    DataSet *data = nullptr; // the walked data set, when active
    bool controlsDisabled = false;
    Phase phase = Phase::Rows;
    int pageNumber = 0;
    std::optional<BandPiece> pending; // evaluated, waiting for room on a page

    explicit State(Report &r) : report(r) {}
    ~State()
    {
        // Also when the walk failed half-way: the data set's controls come back.
        if (controlsDisabled)
            data->enableControls();
    }
    State(const State &) = delete;
    State &operator=(const State &) = delete;

    void prepare();
    QString textOf(const ReportItem &item) const;
    BandPiece evaluate(const ReportBand &band) const;
    void addTextItem(BandPiece &piece, const ReportBand &band, const ReportItem &item) const;
    void addTextBox(BandPiece &piece, const ReportBand &band, const ReportItem &item) const;
    std::optional<BandPiece> produceNext();
    void place(ReportPage &page, BandPiece &piece, double y) const; // moves the items
    double cutHeight(const BandPiece &piece, double room) const;
    void fillBody(ReportPage &page, double y, double bottom);
};

void ReportLayout::State::prepare()
{
    for (const auto &band : report.bands()) {
        for (const auto &item : band->items()) {
            fontOf.insert(item.get(), fonts->add(item->font()));
            if (item->kind() != ItemKind::DataText && item->kind() != ItemKind::TextBox)
                continue;
            DataSet *source = item->dataSet() ? item->dataSet() : report.dataSet();
            // A field the data set does not deliver simply prints nothing.
            fieldOf.insert(item.get(), source && source->active()
                                           ? source->findField(item->fieldName())
                                           : nullptr);
        }
    }
    DataSet *ds = report.dataSet();
    if (ds && ds->active()) {
        data = ds;
        data->disableControls();
        controlsDisabled = true;
        data->first();
    }
    const bool empty = !data || data->eof();
    if (empty && !report.page().printIfEmpty)
        phase = Phase::Done;
}

QString ReportLayout::State::textOf(const ReportItem &item) const
{
    switch (item.kind()) {
    case ItemKind::Label:
        return item.caption();
    case ItemKind::PageNumber:
        return QString::number(pageNumber);
    case ItemKind::DataText:
    case ItemKind::TextBox:
        return fieldText(fieldOf.value(&item));
    case ItemKind::Rule:
        break;
    }
    return QString();
}

void ReportLayout::State::addTextItem(BandPiece &piece, const ReportBand &band,
                                      const ReportItem &item) const
{
    const int font = fontOf.value(&item);
    const double lineHeight = fonts->lineHeight(font);
    const QString text = textOf(item);
    QStringList lines;
    const bool oneLine = !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'));
    if (oneLine && (item.autoWidth() || fonts->width(font, text) <= item.width()))
        lines = QStringList{text}; // the common case: the text fits as it is
    else if (item.autoWidth())
        lines = reportParagraphs(text);
    else if (item.wordWrap())
        lines = wrapReportText(*fonts, font, text, item.width());
    else
        lines = QStringList{reportParagraphs(text).value(0)};
    // Items never stretch: only the lines that fit the item's height print (at least one).
    const double height = item.height() > 0 ? item.height() : lineHeight;
    const int visible = std::max(1, int(std::floor(height / lineHeight + 1e-6)));
    for (int i = 0; i < std::min(visible, int(lines.size())); ++i) {
        PlacedItem p{band.kind(), item.kind(), item.name(), lines[i], {}, 0, font,
                     item.alignment()};
        const double top = item.top() + i * lineHeight;
        double textWidth = fonts->width(font, p.text);
        if (item.autoWidth()) {
            double left = item.left();
            if (item.alignment() == ItemAlign::Right)
                left += item.width() - textWidth;
            else if (item.alignment() == ItemAlign::Center)
                left += (item.width() - textWidth) / 2;
            p.rect = QRectF(left, top, textWidth, lineHeight);
            p.textX = left;
        } else {
            if (textWidth > item.width()) { // nothing prints beyond a fixed width
                p.text = cutReportText(*fonts, font, p.text, item.width());
                textWidth = fonts->width(font, p.text);
            }
            p.rect = QRectF(item.left(), top, item.width(), lineHeight);
            p.textX = item.left();
            if (item.alignment() == ItemAlign::Right)
                p.textX += item.width() - textWidth;
            else if (item.alignment() == ItemAlign::Center)
                p.textX += (item.width() - textWidth) / 2;
        }
        piece.items.push_back(std::move(p));
    }
}

void ReportLayout::State::addTextBox(BandPiece &piece, const ReportBand &band,
                                     const ReportItem &item) const
{
    const int font = fontOf.value(&item);
    const double lineHeight = fonts->lineHeight(font);
    const QStringList lines = wrapReportText(*fonts, font, textOf(item), item.width());
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = cutReportText(*fonts, font, lines[i], item.width());
        if (line.isEmpty())
            continue; // blank lines take room but draw nothing
        const double top = item.top() + i * lineHeight;
        double x = item.left();
        const double w = fonts->width(font, line);
        if (item.alignment() == ItemAlign::Right)
            x += item.width() - w;
        else if (item.alignment() == ItemAlign::Center)
            x += (item.width() - w) / 2;
        piece.items.push_back({band.kind(), item.kind(), item.name(), line,
                               QRectF(item.left(), top, item.width(), lineHeight), x, font,
                               item.alignment()});
    }
    // The box grows downwards and the band with it, keeping the room below the box.
    const double grown = std::max(item.height(), lines.size() * lineHeight);
    const double below = std::max(0.0, band.height() - item.top() - item.height());
    piece.height = std::max(piece.height, item.top() + grown + below);
    piece.splittable = true;
}

BandPiece ReportLayout::State::evaluate(const ReportBand &band) const
{
    BandPiece piece;
    piece.height = band.height();
    const double width = report.page().bandWidth();
    if (band.frameTop())
        piece.items.push_back({band.kind(), ItemKind::Rule, band.name(), QString(),
                               QRectF(0, 0, width, kRuleThickness), 0, 0, ItemAlign::Left});
    for (const auto &item : band.items()) {
        if (item->kind() == ItemKind::Rule) {
            const double w = item->autoWidth() ? width - item->left() : item->width();
            piece.items.push_back({band.kind(), ItemKind::Rule, item->name(), QString(),
                                   QRectF(item->left(), item->top(), w, item->thickness()),
                                   item->left(), fontOf.value(item.get()), ItemAlign::Left});
        } else if (item->kind() == ItemKind::TextBox) {
            addTextBox(piece, band, *item);
        } else {
            addTextItem(piece, band, *item);
        }
    }
    if (band.frameBottom())
        piece.items.push_back({band.kind(), ItemKind::Rule, band.name(), QString(),
                               QRectF(0, piece.height - kRuleThickness, width, kRuleThickness),
                               0, 0, ItemAlign::Left});
    return piece;
}

std::optional<BandPiece> ReportLayout::State::produceNext()
{
    if (phase == Phase::Rows) {
        if (data && !data->eof()) {
            std::optional<BandPiece> piece;
            if (const ReportBand *detail = report.band(BandKind::Detail))
                piece = evaluate(*detail);
            data->next();
            if (piece)
                return piece;
            return produceNext();
        }
        phase = Phase::Summary;
    }
    if (phase == Phase::Summary) {
        phase = Phase::Done;
        if (const ReportBand *summary = report.band(BandKind::Summary))
            return evaluate(*summary);
    }
    return std::nullopt;
}

void ReportLayout::State::place(ReportPage &page, BandPiece &piece, double y) const
{
    const double x = report.page().leftMargin;
    for (PlacedItem &item : piece.items) {
        page.items.push_back(std::move(item));
        PlacedItem &p = page.items.back();
        p.rect.translate(x, y);
        p.textX += x;
    }
}

// Where a growing band may be cut so its upper part fits in `room`: the top of its first
// text-box line that does not fit; 0 when nothing of it fits.
double ReportLayout::State::cutHeight(const BandPiece &piece, double room) const
{
    double cut = room;
    for (const PlacedItem &item : piece.items)
        if (item.kind == ItemKind::TextBox && item.rect.bottom() > room + 1e-6)
            cut = std::min(cut, item.rect.top());
    for (const PlacedItem &item : piece.items) // anything else crossing the cut stays whole
        if (item.kind != ItemKind::TextBox && item.rect.top() < cut && item.rect.bottom() > cut)
            cut = std::min(cut, item.rect.top());
    return cut;
}

void ReportLayout::State::fillBody(ReportPage &page, double y, double bottom)
{
    const double top = y;
    while (true) {
        if (!pending)
            pending = produceNext();
        if (!pending)
            return;
        const double room = bottom - y;
        if (pending->height <= room + 1e-6) {
            y += pending->height;
            place(page, *pending, y - pending->height);
            pending.reset();
            continue;
        }
        const double cut = pending->splittable ? cutHeight(*pending, room) : 0;
        if (cut > 1e-6) {
            BandPiece upper, lower;
            upper.height = cut;
            lower.height = pending->height - cut;
            lower.splittable = true;
            for (PlacedItem &item : pending->items) {
                if (item.rect.top() < cut - 1e-6) {
                    upper.items.push_back(std::move(item));
                } else {
                    item.rect.translate(0, -cut);
                    lower.items.push_back(std::move(item));
                }
            }
            place(page, upper, y);
            pending = std::move(lower);
            return;
        }
        if (y > top + 1e-6)
            return; // try again on a fresh page
        // Taller than any page and not splittable: print what the page holds.
        place(page, *pending, y);
        pending.reset();
        return;
    }
}

ReportLayout::ReportLayout(Report &report) : s(std::make_unique<State>(report))
{
    s->prepare();
}

ReportLayout::~ReportLayout() = default;

std::shared_ptr<const ReportFonts> ReportLayout::fonts() const { return s->fonts; }

bool ReportLayout::nextPage(ReportPage &page)
{
    if (s->phase == Phase::Done && !s->pending && s->pageNumber > 0)
        return false;
    if (s->phase == Phase::Done && s->pageNumber == 0)
        return false; // nothing to print at all
    const PageSetup &setup = s->report.page();
    page.number = ++s->pageNumber;
    page.width = setup.paperWidth();
    page.height = setup.paperHeight();
    page.items.clear();
    page.fonts = s->fonts;

    const ReportBand *footer = s->report.band(BandKind::PageFooter);
    const double footerTop = setup.paperHeight() - setup.bottomMargin -
                             (footer ? footer->height() : 0);
    double y = setup.topMargin;
    for (BandKind kind : {BandKind::Title, BandKind::ColumnHeader}) {
        const ReportBand *band = s->report.band(kind);
        if (!band || (kind == BandKind::Title && page.number > 1))
            continue;
        BandPiece piece = s->evaluate(*band);
        y += piece.height;
        s->place(page, piece, y - piece.height);
    }
    s->fillBody(page, y, footerTop);
    const bool last = s->phase == Phase::Done && !s->pending;
    if (footer && (!last || setup.footerOnLastPage)) {
        BandPiece piece = s->evaluate(*footer);
        s->place(page, piece, footerTop);
    }
    return true;
}

std::vector<ReportPage> layoutReport(Report &report)
{
    std::vector<ReportPage> pages;
    ReportLayout layout(report);
    ReportPage page;
    while (layout.nextPage(page))
        pages.push_back(page);
    return pages;
}

namespace {

QString mm(double v) { return QString::number(v, 'f', 1); }

const char *bandName(BandKind k)
{
    switch (k) {
    case BandKind::Title: return "title";
    case BandKind::ColumnHeader: return "header";
    case BandKind::Detail: return "detail";
    case BandKind::Summary: return "summary";
    case BandKind::PageFooter: return "footer";
    }
    return "?";
}

QString fontText(const ReportFont &f)
{
    QString t = f.family + QLatin1Char(' ') + QString::number(f.pointSize);
    if (f.bold) t += QLatin1String(" bold");
    if (f.italic) t += QLatin1String(" italic");
    if (f.underline) t += QLatin1String(" underline");
    if (f.fixedPitch) t += QLatin1String(" fixed");
    return t;
}

} // namespace

QString dumpPage(const ReportPage &page)
{
    QString out = QStringLiteral("page %1 %2x%3\n").arg(page.number).arg(mm(page.width),
                                                                          mm(page.height));
    for (const PlacedItem &i : page.items) {
        const QString rect = QStringLiteral("[%1 %2 %3 %4]").arg(
            mm(i.rect.left()), mm(i.rect.top()), mm(i.rect.width()), mm(i.rect.height()));
        out += QStringLiteral("  %1 %2 %3").arg(QLatin1String(bandName(i.band)), i.name, rect);
        if (i.kind != ItemKind::Rule) {
            const char *align = i.alignment == ItemAlign::Left     ? "left"
                                : i.alignment == ItemAlign::Right ? "right"
                                                                  : "centre";
            out += QStringLiteral(" x=%1 %2 \"%3\" %4")
                       .arg(mm(i.textX), QLatin1String(align), i.text,
                            fontText(page.fonts->described(i.font)));
        } else {
            out += QLatin1String(" rule");
        }
        out += QLatin1Char('\n');
    }
    return out;
}

QString dumpReport(Report &report)
{
    QString out;
    ReportLayout layout(report);
    ReportPage page;
    while (layout.nextPage(page))
        out += dumpPage(page);
    return out;
}
