#include "chart.h"

#include <QLinearGradient>
#include <QPaintDevice>
#include <QPainter>
#include <QRadialGradient>

#include <cmath>

namespace {

QFont qfont(const ChartFont &f)
{
    QFont font(f.family);
    font.setPixelSize(std::max(1, int(std::lround(f.pointSize * 96.0 / 72.0))));
    font.setBold(f.bold);
    return font;
}

void drawText(QPainter &p, const ChartFont &f, const QRectF &r, const QString &text,
              int flags = Qt::AlignCenter)
{
    p.setFont(qfont(f));
    p.setPen(f.color);
    p.drawText(r, flags | Qt::TextDontClip, text);
}

void drawPanel(QPainter &p, const ChartLook &look, const ChartGeometry &g)
{
    // The dark start colour sits behind the bars; the edges, where the texts are, stay light.
    QRadialGradient gradient(g.plot.center(), std::hypot(g.panel.width(), g.panel.height()) / 2);
    gradient.setColorAt(0, look.panelStart);
    gradient.setColorAt(1, look.panelEnd);
    p.fillRect(g.panel, gradient);
}

void drawAxes(QPainter &p, const ChartLook &look, const ChartGeometry &g)
{
    const QPointF d = g.depth;
    const QPointF origin = g.plot.bottomLeft() + d;
    p.setPen(QPen(QColor(220, 220, 220), 1, Qt::DotLine));
    for (const ChartTick &t : g.ticks)
        if (t.value > g.axisMin)
            p.drawLine(QPointF(origin.x(), t.y), QPointF(g.plot.right() + d.x(), t.y));
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(origin, QPointF(origin.x(), g.plot.top() + d.y()));   // left axis, at the back
    p.drawLine(origin, QPointF(g.plot.right() + d.x(), origin.y())); // the floor's edges
    p.drawLine(g.plot.bottomLeft(), origin);
    p.drawLine(g.plot.bottomLeft(), g.plot.bottomRight());
    p.drawLine(g.plot.bottomRight(), g.plot.bottomRight() + d);
    for (const ChartTick &t : g.ticks) {
        p.drawLine(QPointF(origin.x() - 4, t.y), QPointF(origin.x(), t.y));
        drawText(p, look.axisLabelFont, t.textRect, t.text, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void drawBar(QPainter &p, const ChartBar &bar, BarFill fill)
{
    p.setPen(QPen(Qt::black, 0.5));
    if (!bar.side.isEmpty()) {
        p.setBrush(bar.color.darker(150));
        p.drawPolygon(bar.side);
    }
    if (!bar.top.isEmpty()) {
        // The lid is lighter than the face; white gets a grey lid, black a dark grey one.
        const QColor lid = bar.color.value() < 60     ? QColor(90, 90, 90)
                           : bar.color.lighter(130) == bar.color ? bar.color.darker(115)
                                                                 : bar.color.lighter(130);
        p.setBrush(lid);
        p.drawPolygon(bar.top);
    }
    if (fill == BarFill::Gradient) {
        QLinearGradient gradient(bar.front.topLeft(), bar.front.bottomLeft());
        gradient.setColorAt(0, Qt::white);
        gradient.setColorAt(1, bar.color);
        p.setBrush(gradient);
    } else {
        p.setBrush(bar.color);
    }
    p.drawRect(bar.front);
}

void drawMark(QPainter &p, const ChartLook &look, const ChartBar &bar)
{
    if (bar.markText.isEmpty())
        return;
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(bar.arrow);
    p.setPen(QPen(Qt::black, 0.5));
    p.setBrush(QColor(255, 255, 225));
    p.drawRect(bar.markRect);
    drawText(p, look.markFont, bar.markRect, bar.markText);
}

} // namespace

void paintChart(const BarChart &chart, QPainter &painter, const QRectF &rect)
{
    // Laid out in screen pixels (96 per inch), then scaled to the device's resolution.
    const double scale = painter.device() ? painter.device()->logicalDpiX() / 96.0 : 1.0;
    const ChartGeometry g = computeChart(chart, rect.size() / scale);
    const ChartLook &look = chart.look();
    painter.save();
    painter.translate(rect.topLeft());
    painter.scale(scale, scale);
    painter.setClipRect(g.panel);
    painter.setRenderHint(QPainter::Antialiasing);
    drawPanel(painter, look, g);
    for (size_t i = 0; i < g.titleRects.size(); ++i)
        drawText(painter, look.titleFont, g.titleRects[i], look.titleLines[int(i)]);
    drawAxes(painter, look, g);
    for (const ChartBar &bar : g.bars) {
        drawBar(painter, bar, g.fill);
        drawText(painter, look.axisLabelFont, bar.labelRect, bar.label);
    }
    for (const ChartBar &bar : g.bars)
        drawMark(painter, look, bar);
    drawText(painter, look.bottomAxisFont, g.bottomTitleRect, look.bottomAxisTitle);
    if (!look.leftAxisTitle.isEmpty()) {
        painter.save();
        painter.translate(g.leftTitleRect.center());
        painter.rotate(-90);
        const QRectF r(-g.leftTitleRect.height() / 2, -g.leftTitleRect.width() / 2,
                       g.leftTitleRect.height(), g.leftTitleRect.width());
        drawText(painter, look.leftAxisFont, r, look.leftAxisTitle);
        painter.restore();
    }
    painter.restore();
}
