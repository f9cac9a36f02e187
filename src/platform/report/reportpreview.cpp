#include "reportpreview.h"

#include "reportpainter.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <stdexcept>

// Draws one page as a sheet of paper at the preview's zoom.
class ReportPageView : public QWidget {
public:
    explicit ReportPageView(QWidget *parent) : QWidget(parent) {}

    void setPage(const ReportPage *page, double zoom)
    {
        page_ = page;
        zoom_ = zoom;
        const double dots = logicalDpiX() / 25.4 * zoom;
        const QSize paper = page ? QSize(qRound(page->width * dots), qRound(page->height * dots))
                                 : QSize(0, 0);
        setFixedSize(paper + QSize(2 * kBorder, 2 * kBorder));
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!page_)
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const QRect paper = rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);
        painter.fillRect(paper.translated(3, 3), QColor(90, 90, 90));
        painter.fillRect(paper, Qt::white);
        painter.translate(paper.topLeft());
        painter.scale(zoom_, zoom_);
        ReportPainter(painter).paintPage(*page_);
    }

private:
    static constexpr int kBorder = 12;
    const ReportPage *page_ = nullptr;
    double zoom_ = 1.0;
};

namespace {

// Zoom choices: factors, with 0 and -1 meaning whole page and page width.
struct ZoomChoice {
    const char *text;
    double factor;
};
constexpr ZoomChoice kZooms[] = {{"Pagina intera", 0}, {"Larghezza pagina", -1},
                                 {"50 %", 0.5},        {"75 %", 0.75},
                                 {"100 %", 1.0},       {"150 %", 1.5},
                                 {"200 %", 2.0}};
constexpr int kZoom100 = 4;

QToolButton *navButton(QWidget *parent, QStyle::StandardPixmap icon, const QString &tip)
{
    auto *b = new QToolButton(parent);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolTip(tip);
    b->setAutoRaise(true);
    return b;
}

} // namespace

ReportPreview::ReportPreview(Report &report, QWidget *parent)
    : QDialog(parent), report_(report), pages_(layoutReport(report))
{
    setWindowTitle(QStringLiteral("Anteprima di stampa"));
    setModal(true);
    buildUi();
    current_ = pages_.empty() ? 0 : 1;
    // Opens at the report's own zoom (100 % unless the report says otherwise).
    zoom_ = std::clamp(report.page().zoom / 100.0, 0.1, 8.0);
    const QSignalBlocker block(zoomBox_);
    zoomBox_->setCurrentIndex(-1);
    for (int i = 0; i < int(std::size(kZooms)); ++i)
        if (kZooms[i].factor == zoom_)
            zoomBox_->setCurrentIndex(i);
    refresh();
    if (const QScreen *screen = this->screen()) {
        const QRect avail = screen->availableGeometry();
        resize(avail.width() * 4 / 5, avail.height() * 9 / 10);
    }
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::buildUi()
{
    auto *bar = new QHBoxLayout;
    first_ = navButton(this, QStyle::SP_MediaSkipBackward, QStringLiteral("Prima pagina"));
    prior_ = navButton(this, QStyle::SP_MediaSeekBackward, QStringLiteral("Pagina precedente"));
    next_ = navButton(this, QStyle::SP_MediaSeekForward, QStringLiteral("Pagina successiva"));
    last_ = navButton(this, QStyle::SP_MediaSkipForward, QStringLiteral("Ultima pagina"));
    pageBox_ = new QSpinBox(this);
    pageOf_ = new QLabel(this);
    zoomBox_ = new QComboBox(this);
    for (const ZoomChoice &z : kZooms)
        zoomBox_->addItem(QString::fromUtf8(z.text));
    zoomBox_->setCurrentIndex(kZoom100);
    auto *printButton = new QPushButton(QStringLiteral("Stampa..."), this);
    auto *pdfButton = new QPushButton(QStringLiteral("Salva PDF..."), this);
    auto *closeButton = new QPushButton(QStringLiteral("Chiudi"), this);
    for (QWidget *w : {static_cast<QWidget *>(first_), static_cast<QWidget *>(prior_)})
        bar->addWidget(w);
    bar->addWidget(new QLabel(QStringLiteral("Pagina"), this));
    bar->addWidget(pageBox_);
    bar->addWidget(pageOf_);
    bar->addWidget(next_);
    bar->addWidget(last_);
    bar->addSpacing(16);
    bar->addWidget(zoomBox_);
    bar->addStretch();
    bar->addWidget(printButton);
    bar->addWidget(pdfButton);
    bar->addWidget(closeButton);

    scroll_ = new QScrollArea(this);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);
    view_ = new ReportPageView(scroll_);
    scroll_->setWidget(view_);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(scroll_, 1);

    connect(first_, &QToolButton::clicked, this, [this] { showPage(1); });
    connect(prior_, &QToolButton::clicked, this, [this] { showPage(current_ - 1); });
    connect(next_, &QToolButton::clicked, this, [this] { showPage(current_ + 1); });
    connect(last_, &QToolButton::clicked, this, [this] { showPage(pageCount()); });
    connect(pageBox_, &QSpinBox::valueChanged, this, [this](int n) { showPage(n); });
    connect(zoomBox_, &QComboBox::currentIndexChanged, this, &ReportPreview::zoomChosen);
    connect(printButton, &QPushButton::clicked, this, &ReportPreview::print);
    connect(pdfButton, &QPushButton::clicked, this, &ReportPreview::saveAsPdf);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    closeButton->setDefault(true);
}

void ReportPreview::showPage(int number)
{
    current_ = pages_.empty() ? 0 : std::clamp(number, 1, pageCount());
    refresh();
}

void ReportPreview::setZoom(double factor)
{
    zoom_ = std::clamp(factor, 0.1, 8.0);
    refresh();
}

void ReportPreview::zoomChosen(int index)
{
    if (index < 0 || index >= int(std::size(kZooms)))
        return;
    const double factor = kZooms[index].factor;
    if (factor > 0 || pages_.empty()) {
        setZoom(factor > 0 ? factor : 1.0);
        return;
    }
    // Fit the page (or its width) into the visible area.
    const QSize room = scroll_->viewport()->size() - QSize(30, 30);
    const double dots = logicalDpiX() / 25.4;
    const ReportPage &page = pages_.front();
    const double byWidth = room.width() / (page.width * dots);
    const double byHeight = room.height() / (page.height * dots);
    setZoom(factor == 0 ? std::min(byWidth, byHeight) : byWidth);
}

void ReportPreview::refresh()
{
    const bool any = !pages_.empty();
    view_->setPage(any ? &pages_[current_ - 1] : nullptr, zoom_);
    const QSignalBlocker block(pageBox_);
    pageBox_->setRange(any ? 1 : 0, pageCount());
    pageBox_->setValue(current_);
    pageOf_->setText(QStringLiteral("di %1").arg(pageCount()));
    first_->setEnabled(current_ > 1);
    prior_->setEnabled(current_ > 1);
    next_->setEnabled(current_ < pageCount());
    last_->setEnabled(current_ < pageCount());
}

void ReportPreview::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_PageDown: showPage(current_ + 1); return;
    case Qt::Key_PageUp: showPage(current_ - 1); return;
    case Qt::Key_Home: showPage(1); return;
    case Qt::Key_End: showPage(pageCount()); return;
    default: QDialog::keyPressEvent(event);
    }
}

void ReportPreview::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    const int index = zoomBox_->currentIndex();
    if (index >= 0 && kZooms[index].factor <= 0)
        zoomChosen(index);
}

void ReportPreview::printTo(QPrinter &printer) const
{
    printer.setFullPage(true);
    setUpPagedDevice(printer, report_);
    int from = 1, to = pageCount();
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(pageCount(), printer.toPage() > 0 ? printer.toPage() : pageCount());
    }
    if (from > to)
        return;
    // A printer that makes its own copies is sent the pages once.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error("printer not ready");
    ReportPainter pagePainter(painter);
    bool started = false;
    for (int c = 0; c < copies; ++c) {
        for (int n = from; n <= to; ++n) {
            if (started)
                printer.newPage();
            started = true;
            pagePainter.paintPage(pages_[n - 1]);
        }
    }
    painter.end();
}

void ReportPreview::savePdf(const QString &path) const
{
    writePagesPdf(pages_, report_, path);
}

void ReportPreview::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    setUpPagedDevice(printer, report_);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Stampa"));
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCollateCopies);
    dialog.setMinMax(1, std::max(1, pageCount()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        printTo(printer);
    } catch (const std::exception &) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Impossibile stampare."));
    }
}

void ReportPreview::saveAsPdf()
{
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Salva come PDF"), QString(),
                                                QStringLiteral("Documenti PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QLatin1String(".pdf");
    try {
        savePdf(path);
    } catch (const std::exception &) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Impossibile scrivere il file %1.").arg(path));
    }
}
