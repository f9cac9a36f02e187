#include "dbchart.h"

#include <QPainter>

DBChart::DBChart(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
    chart_.setChangeListener([this] { update(); });
}

void DBChart::paintChart(QPainter &painter, const QRectF &rect) const
{
    ::paintChart(chart_, painter, rect);
}

ChartGeometry DBChart::geometryNow() const
{
    return computeChart(chart_, QSizeF(size()) * (96.0 / logicalDpiX()));
}

void DBChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintChart(painter, QRectF(rect()));
}
