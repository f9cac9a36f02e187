#include "chart.h"

#include <QFont>
#include <QFontMetricsF>

#include <cmath>
#include <numbers>

namespace {

constexpr double kMargin = 10;
constexpr double kGap = 6;
constexpr double kTick = 4;

QFont qfont(const ChartFont &f)
{
    QFont font(f.family);
    font.setPixelSize(std::max(1, int(std::lround(f.pointSize * 96.0 / 72.0))));
    font.setBold(f.bold);
    return font;
}

// A step of 1, 2 or 5 times a power of ten giving about `wanted` intervals up to `max`.
double niceStep(double max, int wanted)
{
    const double raw = max / std::max(1, wanted);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= raw)
            return m * power;
    return 10 * power;
}

// The offset from the front plane to the back plane for a depth of `d` pixels: the
// elevation tilts the depth upwards, the rotation sideways; no perspective.
QPointF depthOffset(const ChartLook &look, double d)
{
    if (!look.view3D)
        return QPointF(0, 0);
    const double rad = std::numbers::pi / 180.0;
    const double tilt = (360 - look.elevation % 360) % 360 * rad; // 315 -> 45 from above
    const double turn = (look.rotation % 360) * rad;              // 360 -> facing
    return QPointF(d * std::cos(tilt) * std::sin(turn), -d * std::sin(tilt) * std::cos(turn));
}

void layoutTitles(const ChartLook &look, ChartGeometry &g, double &top)
{
    const QFontMetricsF fm(qfont(look.titleFont));
    for (const QString &line : look.titleLines) {
        const double w = fm.horizontalAdvance(line);
        g.titleRects.emplace_back(g.panel.center().x() - w / 2, top, w, fm.height());
        top += fm.height();
    }
    top += kGap;
}

void layoutTicks(const ChartLook &look, ChartGeometry &g, double maxValue, double plotHeight)
{
    const QFontMetricsF fm(qfont(look.axisLabelFont));
    const int wanted = std::clamp(int(plotHeight / (fm.height() * 2.5)), 1, 10);
    const double step = maxValue > 0 ? niceStep(maxValue, wanted) : 1;
    g.axisMin = 0;
    g.axisMax = maxValue > 0 ? std::ceil(maxValue / step - 1e-9) * step : 1;
    for (int i = 0; i * step <= g.axisMax + step * 1e-9; ++i)
        g.ticks.push_back({i * step, 0, chartValueText(i * step), QRectF()});
}

ChartBar makeBar(const BarChart &chart, const ChartGeometry &g, const BarChart::Point &p,
                 int index, double slot)
{
    const ChartLook &look = chart.look();
    const ChartSeries &series = *chart.activeSeries();
    ChartBar bar;
    bar.label = p.label;
    bar.value = p.value;
    bar.color = series.colorEachPoint && !look.palette.empty()
                    ? look.palette[index % look.palette.size()]
                    : series.baseColor;
    const double width = slot * look.barWidthPercent / 100.0;
    const double x = g.plot.left() + index * slot + (slot - width) / 2;
    const double span = g.axisMax - g.axisMin;
    const double h = span > 0 ? (std::max(p.value, g.axisMin) - g.axisMin) / span * g.plot.height()
                              : 0;
    bar.front = QRectF(x, g.plot.bottom() - h, width, h);
    const QPointF d = g.depth;
    if (d.y() < 0)
        bar.top << bar.front.topLeft() << bar.front.topRight() << bar.front.topRight() + d
                << bar.front.topLeft() + d;
    if (d.x() > 0)
        bar.side << bar.front.topRight() << bar.front.bottomRight()
                 << bar.front.bottomRight() + d << bar.front.topRight() + d;
    const QFontMetricsF labels(qfont(look.axisLabelFont));
    const double lw = labels.horizontalAdvance(p.label);
    bar.labelRect = QRectF(x + width / 2 - lw / 2, g.plot.bottom() + kTick + 2, lw,
                           labels.height());
    if (series.marksVisible) {
        const QFontMetricsF marks(qfont(look.markFont));
        bar.markText = chartValueText(p.value);
        const QPointF lid = QPointF(x + width / 2, bar.front.top()) + d / 2;
        bar.arrow = QLineF(lid, lid - QPointF(0, series.arrowLength));
        const double mw = marks.horizontalAdvance(bar.markText) + 6;
        const double mh = marks.height() + 2;
        bar.markRect = QRectF(lid.x() - mw / 2, bar.arrow.p2().y() - mh, mw, mh);
    }
    return bar;
}

} // namespace

ChartGeometry computeChart(const BarChart &chart, const QSizeF &size)
{
    const ChartLook &look = chart.look();
    ChartGeometry g;
    g.panel = QRectF(QPointF(0, 0), size);
    const std::vector<BarChart::Point> points = chart.points();
    const ChartSeries *active = chart.activeSeries();
    g.fill = active ? active->fill : BarFill::Plain;

    double top = kMargin;
    layoutTitles(look, g, top);
    const QFontMetricsF axisTitle(qfont(look.leftAxisFont));
    const QFontMetricsF bottomTitle(qfont(look.bottomAxisFont));
    const QFontMetricsF labels(qfont(look.axisLabelFont));
    const QFontMetricsF marks(qfont(look.markFont));
    if (active && active->marksVisible) // room for the marks over the tallest bar
        top += active->arrowLength + marks.height() + 2;

    double maxValue = 0;
    for (const auto &p : points)
        maxValue = std::max(maxValue, p.value);
    const double bottom = size.height() - kMargin - bottomTitle.height() - kGap -
                          labels.height() - kTick - 2;
    const double leftTitleWidth = look.leftAxisTitle.isEmpty() ? 0 : axisTitle.height() + kGap;
    // The scale decides the width of its labels, which decides the plot's left edge.
    layoutTicks(look, g, maxValue, bottom - top);
    double labelWidth = 0;
    for (const ChartTick &t : g.ticks)
        labelWidth = std::max(labelWidth, labels.horizontalAdvance(t.text));
    const double left = kMargin + leftTitleWidth + labelWidth + kTick + 2;
    const double right = size.width() - kMargin;
    const int n = std::max<int>(1, int(points.size()));
    const double slot = std::max(1.0, right - left) / n;
    g.depth = depthOffset(look, slot * look.depthPercent / 100.0);
    // The back plane must stay inside the panel: the front plane gives up the depth.
    g.plot = QRectF(left, top - g.depth.y(), right - left - std::max(0.0, g.depth.x()),
                    std::max(1.0, bottom - top + g.depth.y()));

    for (ChartTick &t : g.ticks) {
        const double span = g.axisMax - g.axisMin;
        t.y = g.plot.bottom() + g.depth.y() - (t.value - g.axisMin) / span * g.plot.height();
        const double w = labels.horizontalAdvance(t.text);
        t.textRect = QRectF(g.plot.left() + g.depth.x() - kTick - 2 - w,
                            t.y - labels.height() / 2, w, labels.height());
    }
    const double bw = bottomTitle.horizontalAdvance(look.bottomAxisTitle);
    g.bottomTitleRect = QRectF(g.plot.center().x() - bw / 2,
                               size.height() - kMargin - bottomTitle.height(), bw,
                               bottomTitle.height());
    const double lw = axisTitle.horizontalAdvance(look.leftAxisTitle);
    g.leftTitleRect = QRectF(kMargin, g.plot.center().y() - lw / 2, axisTitle.height(), lw);

    const double realSlot = g.plot.width() / n;
    for (int i = 0; i < int(points.size()); ++i)
        g.bars.push_back(makeBar(chart, g, points[i], i, realSlot));
    return g;
}
