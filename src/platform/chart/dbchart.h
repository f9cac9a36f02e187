#pragma once
// The chart control of the charts window: a BarChart on a widget. The same drawing goes
// onto any painter, so the chart prints as it shows.
#include "chart.h"

#include <QWidget>

class DBChart : public QWidget {
    Q_OBJECT
public:
    explicit DBChart(QWidget *parent = nullptr);

    BarChart &chart() { return chart_; }
    const BarChart &chart() const { return chart_; }

    // Draws the chart into `rect` of any painter (a printer's page, an image).
    void paintChart(QPainter &painter, const QRectF &rect) const;

    // What the chart shows at the widget's present size.
    ChartGeometry geometryNow() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    BarChart chart_;
};
