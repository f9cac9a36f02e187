#pragma once
// The modal print preview of a report: page through, zoom, print through the print dialog
// (printer, copies, page range) and save as PDF. The report is laid out once, when the
// preview is made; the pages it shows are the pages it prints.
#include "reportlayout.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;
class QToolButton;
class ReportPageView;

class ReportPreview : public QDialog {
    Q_OBJECT
public:
    explicit ReportPreview(Report &report, QWidget *parent = nullptr);
    ~ReportPreview() override;

    const std::vector<ReportPage> &pages() const { return pages_; }
    int pageCount() const { return int(pages_.size()); }
    int currentPage() const { return current_; } // 1-based
    void showPage(int number);                   // clamped to the pages there are

    // Zoom as a factor of the paper's real size (1.0 = 100 %).
    double zoom() const { return zoom_; }
    void setZoom(double factor);

    // Prints the pages the printer's settings select (all or a range), as many copies as
    // it asks for when it cannot make them itself.
    void printTo(QPrinter &printer) const;
    // Writes every page to a PDF file; throws std::runtime_error when it cannot.
    void savePdf(const QString &path) const;

public slots:
    void print();     // asks with the print dialog, then prints
    void saveAsPdf(); // asks for a file name, then saves

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildUi();
    void zoomChosen(int index);
    void refresh();

    Report &report_;
    std::vector<ReportPage> pages_;
    int current_ = 0;
    double zoom_ = 1.0;
    QToolButton *first_ = nullptr;
    QToolButton *prior_ = nullptr;
    QToolButton *next_ = nullptr;
    QToolButton *last_ = nullptr;
    QSpinBox *pageBox_ = nullptr;
    QLabel *pageOf_ = nullptr;
    QComboBox *zoomBox_ = nullptr;
    QScrollArea *scroll_ = nullptr;
    ReportPageView *view_ = nullptr;
};
