#pragma once
// A data-bound bar chart: one bar per row of a data set, in row order, its label from one
// column and its height from another. Several series, one active at a time. Bars are drawn
// in three dimensions (a depth seen from an elevation and a rotation, no perspective).
//
// Compute, then draw: computeChart() returns every rectangle, label and mark for a size,
// and paintChart() only draws what it returned, so tests check the numbers and the screen
// and the printed page share one drawing.
#include <QColor>
#include <QLineF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class DataSet;
class QPainter;

enum class BarFill { Plain, Gradient };

struct ChartFont {
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
    QColor color = Qt::black;
};

struct ChartSeries {
    QString name;  // Series1
    QString title; // serieACd
    DataSet *dataSet = nullptr;
    QString valueColumn;
    QString labelColumn;
    bool marksVisible = false;
    int arrowLength = 8; // pixels at screen resolution
    BarFill fill = BarFill::Plain;
    QColor baseColor = Qt::red; // the series' colour; each bar takes a palette colour
    bool colorEachPoint = true;
    bool active = false;
};

// What a chart looks like; the defaults are the charts window's.
struct ChartLook {
    QStringList titleLines;
    ChartFont titleFont{QStringLiteral("Arial"), 14, false, Qt::blue};
    QString bottomAxisTitle;
    ChartFont bottomAxisFont{QStringLiteral("Arial"), 12, true, Qt::black};
    QString leftAxisTitle;
    ChartFont leftAxisFont{QStringLiteral("Arial"), 12, true, Qt::black};
    ChartFont axisLabelFont{QStringLiteral("Arial"), 8, false, Qt::black};
    ChartFont markFont{QStringLiteral("Arial"), 8, false, Qt::black};
    bool topAxisVisible = false;
    bool rightAxisVisible = false;
    bool legendVisible = false; // no legend is drawn in any case
    QColor panelStart = QColor(0, 64, 0);
    QColor panelEnd = QColor(205, 228, 205);
    bool view3D = true;
    int elevation = 315; // degrees: 360 looks straight at the front, 270 from above
    int rotation = 360;  // degrees: 360 shows no side of the bars
    int perspective = 0;
    bool orthogonal = false;
    bool wallsVisible = false;
    int depthPercent = 30; // bar depth as a share of the room one bar has
    int barWidthPercent = 70;
    std::vector<QColor> palette = defaultPalette();

    static std::vector<QColor> defaultPalette();
};

// One bar of the active series, with everything needed to draw it, in chart pixels.
struct ChartBar {
    QString label;
    double value = 0;
    QString markText;   // empty when the series shows no marks
    QColor color;
    QRectF front;       // the bar's face
    QPolygonF top;      // the lid the elevation shows
    QPolygonF side;     // the side the rotation shows (empty when none)
    QRectF labelRect;   // under the bar
    QLineF arrow;       // from the bar's lid up to its mark
    QRectF markRect;
};

struct ChartTick {
    double value = 0;
    double y = 0; // on the back plane
    QString text;
    QRectF textRect;
};

struct ChartGeometry {
    QRectF panel;
    QRectF plot;        // the front plane the bars stand in
    QPointF depth;      // from the front plane to the back plane
    std::vector<QRectF> titleRects; // one per title line
    QRectF bottomTitleRect;
    QRectF leftTitleRect; // the text runs upwards inside it
    double axisMin = 0;
    double axisMax = 0;
    std::vector<ChartTick> ticks;
    std::vector<ChartBar> bars;
    BarFill fill = BarFill::Plain;
};

class BarChart {
public:
    BarChart();
    BarChart(const BarChart &) = delete; // the listener belongs to one control
    BarChart &operator=(const BarChart &) = delete;

    ChartLook &look() { return look_; }
    const ChartLook &look() const { return look_; }

    ChartSeries &addSeries(const QString &name, const QString &title);
    int seriesCount() const { return int(series_.size()); }
    ChartSeries &series(int index) { return series_[index]; }
    const ChartSeries &series(int index) const { return series_[index]; }
    ChartSeries *seriesByTitle(const QString &title);

    // Changes that the screen must show go through these: they tell the listener.
    void setActive(const QString &title, bool active);
    const ChartSeries *activeSeries() const; // the first active one
    void clearTitle();
    void addTitleLine(const QString &line);
    void setLeftAxisTitle(const QString &text);
    void setBottomAxisTitle(const QString &text);
    void refresh(); // the data changed: redraw
    void setChangeListener(std::function<void()> listener) { listener_ = std::move(listener); }

    // The bars' labels and values, read from the active series' data set without moving
    // its current record; nothing when no series is active or its data set is closed.
    struct Point {
        QString label;
        double value = 0;
    };
    std::vector<Point> points() const;

private:
    void changed() const;

    ChartLook look_;
    std::vector<ChartSeries> series_;
    std::function<void()> listener_;
};

// The value marks' text: thousands separators and up to three decimals, as users read it.
QString chartValueText(double value);

// Lays a chart out in a `size` of chart pixels (96 per inch).
ChartGeometry computeChart(const BarChart &chart, const QSizeF &size);

// Draws a chart into `rect` of any painter's device; fonts and lines scale with the device
// so a printed page looks like the screen.
void paintChart(const BarChart &chart, QPainter &painter, const QRectF &rect);
