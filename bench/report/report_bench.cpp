// Lays out and writes to PDF a long thirteen-column listing, beside the floor: the same
// texts drawn at the same places straight onto a QPdfWriter, with no report engine.
// Each measurement runs in its own process so its peak memory is its own.
//
//   report_bench [rows=100000] [runs=3]
#include "catalogo.h"
#include "dataset.h"
#include "reportlayout.h"
#include "reportpainter.h"
#include "tutti.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Processor time of this process: steadier than the wall clock on a shared machine.
double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// Peak resident memory of this program image. VmHWM rather than getrusage(): the latter
// carries the high-water mark of the forking parent across exec.
double peakRssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// The floor: pages laid out beforehand (not timed), then only the drawing is timed.
double drawFloor(Report &report, const QString &pdf, int &pages, double &cpu)
{
    const std::vector<ReportPage> laid = layoutReport(report);
    pages = int(laid.size());
    QElapsedTimer timer;
    timer.start();
    const double cpu0 = cpuSeconds();
    QPdfWriter writer(pdf);
    writer.setResolution(1200);
    setUpPagedDevice(writer, report);
    QPainter painter(&writer);
    const double s = writer.resolution() / 25.4;
    const ReportFonts &fonts = *laid.front().fonts;
    int current = -1;
    for (const ReportPage &page : laid) {
        if (page.number > 1)
            writer.newPage();
        painter.setPen(Qt::black);
        for (const PlacedItem &i : page.items) {
            if (i.kind == ItemKind::Rule) {
                painter.fillRect(QRectF(i.rect.left() * s, i.rect.top() * s, i.rect.width() * s,
                                        i.rect.height() * s), Qt::black);
                continue;
            }
            if (i.text.isEmpty())
                continue;
            if (i.font != current)
                painter.setFont(fonts.font(current = i.font));
            painter.drawText(QPointF(i.textX * s, (i.rect.top() + fonts.ascent(i.font)) * s),
                             i.text);
        }
    }
    painter.end();
    cpu = cpuSeconds() - cpu0;
    return timer.elapsed() / 1000.0;
}

int child(const QString &mode, const QString &dir, const QString &pdf)
{
    QDir::setCurrent(dir);
    Query q(QStringLiteral("qRicerca"));
    q.addSql(QStringLiteral("Select * from Archivio"));
    q.open();
    Report report;
    buildTutti(report, &q);
    int pages = 0;
    double seconds = 0;
    double cpu = 0;
    QElapsedTimer timer;
    timer.start();
    const double cpu0 = cpuSeconds();
    if (mode == QLatin1String("report")) {
        pages = exportReportPdf(report, pdf);
    } else if (mode == QLatin1String("layout")) {
        ReportLayout layout(report);
        ReportPage page;
        while (layout.nextPage(page))
            ++pages;
    }
    seconds = timer.elapsed() / 1000.0;
    cpu = cpuSeconds() - cpu0;
    if (mode == QLatin1String("floor"))
        seconds = drawFloor(report, pdf, pages, cpu);
    std::printf("%.3f %d %.1f %.3f\n", seconds, pages, peakRssMb(), cpu);
    return 0;
}

struct Sample {
    double seconds = 0;
    int pages = 0;
    double rss = 0;
    double cpu = 0;
};

Sample runChild(const QString &mode, const QString &dir)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--child"), mode, dir, dir + QStringLiteral("/") + mode + ".pdf"});
    p.waitForFinished(-1);
    const QStringList parts = QString::fromLatin1(p.readAllStandardOutput()).split(QLatin1Char(' '));
    if (parts.size() < 4) {
        std::fprintf(stderr, "child %s failed: %s\n", qPrintable(mode),
                     p.readAllStandardError().constData());
        std::exit(1);
    }
    return {parts[0].toDouble(), parts[1].toInt(), parts[2].toDouble(), parts[3].toDouble()};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 5 && args[1] == QLatin1String("--child"))
        return child(args[2], args[3], args[4]);

    const int rows = args.size() > 1 ? args[1].toInt() : 100000;
    const int runs = args.size() > 2 ? args[2].toInt() : 3;
    QTemporaryDir dir;
    QElapsedTimer timer;
    timer.start();
    catalogo::DemoOptions demo;
    demo.cds = rows;
    demo.tracksPerCd = 1;
    demo.coversEvery = 0;
    catalogo::fillDemo(dir.path(), demo);
    std::printf("catalogue of %d CDs made in %.1f s\n", rows, timer.elapsed() / 1000.0);

    const Sample layout = runChild(QStringLiteral("layout"), dir.path());
    std::printf("layout pass alone: %.2f s, %d pages, peak %.0f MB\n", layout.seconds,
                layout.pages, layout.rss);
    std::vector<double> report, floor, rss, reportCpu, floorCpu;
    int pages = 0;
    for (int r = 1; r <= runs; ++r) {
        const Sample f = runChild(QStringLiteral("floor"), dir.path());
        const Sample s = runChild(QStringLiteral("report"), dir.path());
        std::printf("run %d: report %.2f s (cpu %.2f s; %d pages, %.0f pages/s, peak %.0f MB)"
                    "   floor %.2f s (cpu %.2f s)   ratio %.2f (cpu %.2f)\n",
                    r, s.seconds, s.cpu, s.pages, s.pages / s.seconds, s.rss, f.seconds, f.cpu,
                    s.seconds / f.seconds, s.cpu / f.cpu);
        report.push_back(s.seconds);
        floor.push_back(f.seconds);
        reportCpu.push_back(s.cpu);
        floorCpu.push_back(f.cpu);
        rss.push_back(s.rss);
        pages = s.pages;
    }
    const auto [rmin, rmax] = std::minmax_element(report.begin(), report.end());
    const auto [fmin, fmax] = std::minmax_element(floor.begin(), floor.end());
    std::printf("report: median %.2f s (%.2f-%.2f), %.0f pages/s; floor: median %.2f s "
                "(%.2f-%.2f); ratio of medians %.2f (target 1.30); peak memory %.0f MB "
                "(target 200)\n", median(report), *rmin, *rmax, pages / median(report),
                median(floor), *fmin, *fmax, median(report) / median(floor),
                *std::max_element(rss.begin(), rss.end()));
    std::printf("best of %d: report %.2f s, floor %.2f s, ratio %.2f\n", runs, *rmin, *fmin,
                *rmin / *fmin);
    std::printf("processor time: report median %.2f s, floor median %.2f s, ratio %.2f\n",
                median(reportCpu), median(floorCpu), median(reportCpu) / median(floorCpu));
    return 0;
}
