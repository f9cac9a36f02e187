#pragma once
// Draws laid-out pages on any QPainter device: the preview, a printer, a PDF file.
#include "reportlayout.h"

#include <QString>

class QPainter;
class QPagedPaintDevice;

class ReportPainter {
public:
    // The paper's top-left corner is at the painter's origin; millimetres become device
    // dots at the device's resolution (a transform on the painter scales or moves the
    // page, as the preview does).
    explicit ReportPainter(QPainter &painter);
    void paintPage(const ReportPage &page);

private:
    QPainter &painter_;
    double sx_;
    double sy_;
    const ReportFonts *fonts_ = nullptr;
    int font_ = -1;
};

// Sets a paged device (a PDF writer, a printer) to the report's paper with no margins, so
// device coordinates start at the paper's corner.
void setUpPagedDevice(QPagedPaintDevice &device, const Report &report);

// Lays the report out and writes it to a PDF file page by page, holding one page at a
// time. Returns the number of pages; throws std::runtime_error when the file cannot be
// written (the data set's errors pass through).
int exportReportPdf(Report &report, const QString &path);

// Writes pages already laid out (the preview's) to a PDF file; `from`/`to` are 1-based and
// inclusive, 0 meaning the first/last page.
void writePagesPdf(const std::vector<ReportPage> &pages, const Report &report,
                   const QString &path, int from = 0, int to = 0);
