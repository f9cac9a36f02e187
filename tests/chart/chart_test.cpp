// The bar chart: which series shows, its bars in row order, their labels, heights and marks.
#include "catalogo.h"
#include "chart.h"
#include "dataset.h"
#include "dbchart.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

inline void add(DataSet &ds, const QString &anno, double valore)
{
    ds.append();
    static int n = 0;
    ds.fieldByName(QStringLiteral("Codice"))->setAsString(QStringLiteral("K%1").arg(++n));
    if (!anno.isEmpty())
        ds.fieldByName(QStringLiteral("Anno"))->setAsString(anno);
    ds.fieldByName(QStringLiteral("Valore"))->setAsFloat(valore);
    ds.post();
}

// The charts window's four series over one query.
class Chart : public ::testing::Test {
protected:
    catalogo::TempCatalogue dir;
    Table archivio{QStringLiteral("tArchivio"), QStringLiteral("archivio.db")};
    Query qMain{QStringLiteral("qMain")};
    BarChart chart;

    void SetUp() override
    {
        archivio.open();
        add(archivio, QStringLiteral("2001"), 10);
        add(archivio, QStringLiteral("2001"), 15.5);
        add(archivio, QStringLiteral("2003"), 1200);
        add(archivio, QStringLiteral("2002"), 20);
        add(archivio, QStringLiteral("2002"), 20);
        add(archivio, QStringLiteral("2002"), 20);
        add(archivio, QString(), 5);
        define(chart);
    }

    void define(BarChart &chart)
    {
        struct Def {
            const char *name, *title, *column;
            bool marks;
            int arrow;
            BarFill fill;
            QColor color;
        };
        const Def defs[] = {{"Series1", "serieACd", "Cd", true, 8, BarFill::Gradient, Qt::red},
                            {"Series2", "serieAS", "Spesa", true, 20, BarFill::Plain, Qt::green},
                            {"Series3", "serieNegACd", "Cd", false, 8, BarFill::Plain, Qt::green},
                            {"Series4", "serieNegAS", "Spesa", false, 8, BarFill::Plain, Qt::green}};
        for (const Def &d : defs) {
            ChartSeries &s = chart.addSeries(QString::fromLatin1(d.name), QString::fromLatin1(d.title));
            s.dataSet = &qMain;
            s.valueColumn = QString::fromLatin1(d.column);
            s.labelColumn = QStringLiteral("Anno");
            s.marksVisible = d.marks;
            s.arrowLength = d.arrow;
            s.fill = d.fill;
            s.baseColor = d.color;
        }
        chart.setBottomAxisTitle(QStringLiteral("Anni"));
    }

    void run(const QString &sql, const QString &active)
    {
        qMain.close();
        qMain.clearSql();
        qMain.addSql(sql);
        qMain.open();
        for (int i = 0; i < chart.seriesCount(); ++i)
            chart.setActive(chart.series(i).title, chart.series(i).title == active);
    }

    static QStringList labels(const ChartGeometry &g)
    {
        QStringList out;
        for (const ChartBar &b : g.bars)
            out << b.label;
        return out;
    }
};

const QString kPerYearCd = QStringLiteral("Select Anno,Count(*) As Cd,Sum(Valore) as Spesa from archivio group by Anno ");
const QString kPerYearSpesa = QStringLiteral("Select Anno,Sum(Valore) as Spesa,Count(*) As Cd from archivio group by Anno ");

} // namespace

TEST_F(Chart, NoActiveSeriesShowsEmptyAxes)
{
    const ChartGeometry g = computeChart(chart, QSizeF(800, 600));
    EXPECT_TRUE(g.bars.empty());
    EXPECT_GT(g.bottomTitleRect.width(), 0);
    EXPECT_TRUE(g.titleRects.empty());
    qMain.addSql(kPerYearCd);
    qMain.open();
    EXPECT_TRUE(computeChart(chart, QSizeF(800, 600)).bars.empty()); // open, but no series
}

TEST_F(Chart, ActiveSeriesGivesOneBarPerRowInRowOrder)
{
    run(kPerYearCd, QStringLiteral("serieACd"));
    ASSERT_EQ(chart.activeSeries()->title, QStringLiteral("serieACd"));
    ChartGeometry g = computeChart(chart, QSizeF(800, 600));
    ASSERT_EQ(g.bars.size(), 4u);
    QStringList rowLabels;
    for (int row = 0; row < qMain.recordCount(); ++row)
        rowLabels << qMain.displayTextAt(row, qMain.findField(QStringLiteral("Anno"))->index());
    EXPECT_EQ(labels(g), rowLabels);
    EXPECT_TRUE(labels(g).contains(QString())); // CDs without a year make a bar of their own
    for (size_t i = 1; i < g.bars.size(); ++i)
        EXPECT_GT(g.bars[i].front.left(), g.bars[i - 1].front.right());
    // Heights follow the counts: 3 CDs in 2002 stand three times as tall as 1 CD.
    double one = 0, three = 0;
    for (const ChartBar &b : g.bars) {
        EXPECT_EQ(b.front.bottom(), g.plot.bottom());
        if (b.value == 1 && one == 0)
            one = b.front.height();
        if (b.value == 3)
            three = b.front.height();
    }
    EXPECT_NEAR(three, 3 * one, 1e-6);

    // Switching series shows the other column of the same rows.
    run(kPerYearSpesa, QStringLiteral("serieAS"));
    g = computeChart(chart, QSizeF(800, 600));
    std::vector<double> values;
    for (const ChartBar &b : g.bars)
        values.push_back(b.value);
    EXPECT_EQ(std::count(values.begin(), values.end(), 1200.0), 1);
    EXPECT_EQ(std::count(values.begin(), values.end(), 60.0), 1);
    EXPECT_GE(g.axisMax, 1200);
}

TEST_F(Chart, ValueMarksOnlyWhereTheSeriesShowsThem)
{
    run(kPerYearSpesa, QStringLiteral("serieAS"));
    ChartGeometry g = computeChart(chart, QSizeF(800, 600));
    for (const ChartBar &b : g.bars) {
        EXPECT_EQ(b.markText, chartValueText(b.value));
        EXPECT_DOUBLE_EQ(b.arrow.length(), 20);
        EXPECT_LE(b.markRect.bottom(), b.arrow.p2().y() + 1e-9);
        EXPECT_LT(b.arrow.p1().y(), b.front.top() + 1e-9); // rises from the bar's lid
        if (b.value == 1200) {
            EXPECT_EQ(b.markText, QStringLiteral("1.200"));
        }
        if (b.value == 25.5) {
            EXPECT_EQ(b.markText, QStringLiteral("25,5"));
        }
    }
    run(kPerYearSpesa, QStringLiteral("serieNegAS"));
    g = computeChart(chart, QSizeF(800, 600));
    ASSERT_FALSE(g.bars.empty());
    for (const ChartBar &b : g.bars)
        EXPECT_TRUE(b.markText.isEmpty());
}

TEST_F(Chart, BarsAreSeenFromAboveAndInFront)
{
    run(kPerYearCd, QStringLiteral("serieACd"));
    const ChartGeometry g = computeChart(chart, QSizeF(800, 600));
    // Elevation 315: the depth rises on the page; rotation 360: no side shows.
    EXPECT_LT(g.depth.y(), 0);
    EXPECT_NEAR(g.depth.x(), 0, 1e-9);
    const auto &palette = chart.look().palette;
    for (size_t i = 0; i < g.bars.size(); ++i) {
        EXPECT_TRUE(g.bars[i].side.isEmpty());
        ASSERT_EQ(g.bars[i].top.size(), 4);
        EXPECT_NEAR(g.bars[i].top.boundingRect().bottom(), g.bars[i].front.top(), 1e-9);
        EXPECT_EQ(g.bars[i].color, palette[i]); // each bar its own palette colour
    }
    for (const ChartBar &b : g.bars) // everything stays inside the panel
        EXPECT_TRUE(g.panel.contains(b.top.boundingRect()) && g.panel.contains(b.front));
}

TEST_F(Chart, TitlesAndDrawingOnAnyDevice)
{
    run(kPerYearCd, QStringLiteral("serieNegACd"));
    DBChart widget;
    BarChart &c = widget.chart();
    define(c);
    c.setActive(QStringLiteral("serieNegACd"), true);
    c.clearTitle();
    c.addTitleLine(QStringLiteral("Grafico Numero Cd acquistati nel negozio  Disco Club"));
    c.setLeftAxisTitle(QStringLiteral("Numero Cd"));
    const ChartGeometry g = computeChart(c, QSizeF(1000, 700));
    ASSERT_EQ(g.titleRects.size(), 1u);
    EXPECT_NEAR(g.titleRects[0].center().x(), 500, 1);
    EXPECT_LT(g.leftTitleRect.right(), g.plot.left());
    EXPECT_GT(g.bottomTitleRect.top(), g.plot.bottom());

    // A page at 300 dpi shows the same chart: the first bar's face in its colour.
    QImage page(3000, 2100, QImage::Format_RGB32);
    page.setDotsPerMeterX(11811);
    page.setDotsPerMeterY(11811);
    page.fill(Qt::white);
    QPainter painter(&page);
    widget.paintChart(painter, QRectF(0, 0, 3000, 2100));
    painter.end();
    const double scale = 300.0 / 96.0;
    const ChartGeometry onPage = computeChart(c, QSizeF(3000, 2100) / scale);
    const QPointF centre = onPage.bars[0].front.center() * scale;
    EXPECT_EQ(QColor(page.pixel(centre.toPoint())), c.look().palette[0]);
}
