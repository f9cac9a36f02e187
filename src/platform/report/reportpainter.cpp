#include "reportpainter.h"

#include <QFile>
#include <QPagedPaintDevice>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <stdexcept>

ReportPainter::ReportPainter(QPainter &painter)
    : painter_(painter), sx_(painter.device()->logicalDpiX() / 25.4),
      sy_(painter.device()->logicalDpiY() / 25.4)
{
}

void ReportPainter::paintPage(const ReportPage &page)
{
    if (fonts_ != page.fonts.get()) { // another pass: its font indices mean other fonts
        fonts_ = page.fonts.get();
        font_ = -1;
    }
    painter_.setPen(Qt::black);
    for (const PlacedItem &item : page.items) {
        if (item.kind == ItemKind::Rule) {
            const QRectF r(item.rect.left() * sx_, item.rect.top() * sy_,
                           item.rect.width() * sx_, std::max(1.0, item.rect.height() * sy_));
            painter_.fillRect(r, Qt::black);
            continue;
        }
        if (item.text.isEmpty())
            continue;
        if (item.font != font_) {
            font_ = item.font;
            painter_.setFont(fonts_->font(font_));
        }
        const double baseline = item.rect.top() + fonts_->ascent(item.font);
        painter_.drawText(QPointF(item.textX * sx_, baseline * sy_), item.text);
    }
}

void setUpPagedDevice(QPagedPaintDevice &device, const Report &report)
{
    const bool landscape = report.page().orientation == Orientation::Landscape;
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                     landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

namespace {

// A PDF writer with a painter on it; the painter is begun only once the file is writable.
// The file is ours so that a failed write (a full disk) is seen when the PDF is finished.
struct PdfTarget {
    QFile file;
    QPdfWriter writer;
    QPainter painter;
    bool started = false;

    PdfTarget(const QString &path, const Report &report) : file(path), writer(&file)
    {
        if (!file.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write " + path.toStdString());
        writer.setCreator(QStringLiteral("Sonaro"));
        writer.setTitle(report.title());
        writer.setResolution(1200);
        setUpPagedDevice(writer, report);
        if (!painter.begin(&writer))
            throw std::runtime_error("cannot write " + path.toStdString());
    }
    void page()
    {
        if (started)
            writer.newPage();
        started = true;
    }
    void finish()
    {
        painter.end();
        if ((file.isOpen() && !file.flush()) || file.error() != QFileDevice::NoError)
            throw std::runtime_error("cannot write " + file.fileName().toStdString());
        file.close();
    }
};

} // namespace

int exportReportPdf(Report &report, const QString &path)
{
    PdfTarget pdf(path, report);
    ReportPainter painter(pdf.painter);
    ReportLayout layout(report);
    ReportPage page;
    int count = 0;
    while (layout.nextPage(page)) {
        pdf.page();
        painter.paintPage(page);
        ++count;
    }
    pdf.finish();
    return count;
}

void writePagesPdf(const std::vector<ReportPage> &pages, const Report &report,
                   const QString &path, int from, int to)
{
    PdfTarget pdf(path, report);
    ReportPainter painter(pdf.painter);
    const int first = from > 0 ? from : 1;
    const int last = to > 0 ? std::min<int>(to, int(pages.size())) : int(pages.size());
    for (int n = first; n <= last; ++n) {
        pdf.page();
        painter.paintPage(pages[n - 1]);
    }
    pdf.finish();
}
