#include "glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPainterPath triangle(bool left, double x, double width)
{
    QPainterPath path;
    if (left) {
        path.moveTo(x + width, 3);
        path.lineTo(x, 8);
        path.lineTo(x + width, 13);
    } else {
        path.moveTo(x, 3);
        path.lineTo(x + width, 8);
        path.lineTo(x, 13);
    }
    path.closeSubpath();
    return path;
}

void drawGlyph(QPainter &p, int button)
{
    const QColor ink(30, 40, 90);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    switch (button) {
    case 0: // first
        p.drawRect(QRectF(3, 3, 2, 10));
        p.drawPath(triangle(true, 6, 7));
        break;
    case 1: // prior
        p.drawPath(triangle(true, 4, 8));
        break;
    case 2: // next
        p.drawPath(triangle(false, 4, 8));
        break;
    case 3: // last
        p.drawPath(triangle(false, 3, 7));
        p.drawRect(QRectF(11, 3, 2, 10));
        break;
    case 4: // insert
        p.drawRect(QRectF(7, 2, 2, 12));
        p.drawRect(QRectF(2, 7, 12, 2));
        break;
    case 5: // delete
        p.drawRect(QRectF(2, 7, 12, 2));
        break;
    case 6: // edit: a pencil
        p.save();
        p.translate(8, 8);
        p.rotate(-45);
        p.drawRect(QRectF(-5, -1.5, 9, 3));
        p.drawPath(triangle(false, 4, 3).translated(0, -8));
        p.restore();
        break;
    case 7: { // post: a tick
        p.setPen(QPen(QColor(20, 120, 40), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
        break;
    }
    case 8: // cancel: a cross
        p.setPen(QPen(QColor(170, 30, 30), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    default: // refresh: a circling arrow
        p.setPen(QPen(ink, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3, 10, 10), 90 * 16, 270 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPolygon(QPolygonF({QPointF(8, 0.5), QPointF(11.5, 3), QPointF(8, 5.5)}));
        break;
    }
}

} // namespace

QIcon navigatorGlyph(int button)
{
    QIcon icon;
    for (const qreal scale : {1.0, 2.0}) {
        QPixmap pixmap(QSize(16, 16) * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        drawGlyph(p, button);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
