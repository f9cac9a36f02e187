// Draws Sonaro's own pictures: the main-menu background, the about-box background, the
// button glyphs and the default skin of the CD window. Run by genera.sh; the results are
// kept in the repository so the build needs no generator.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cstdio>
#include <functional>

namespace {

QString out;

void save(const QImage &image, const QString &name, const char *format = "PNG", int quality = -1)
{
    const QString path = out + QLatin1Char('/') + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path, format, quality))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

// A compact disc seen from above, with a rainbow sheen.
void drawDisc(QPainter &p, QPointF c, qreal r, qreal alpha = 1.0)
{
    p.save();
    p.setOpacity(alpha);
    QConicalGradient sheen(c, 30);
    const QColor stops[] = {QColor(225, 230, 240), QColor(160, 210, 255), QColor(230, 170, 255),
                            QColor(255, 240, 170), QColor(170, 255, 210), QColor(225, 230, 240)};
    for (int i = 0; i < 6; ++i)
        sheen.setColorAt(i / 5.0, stops[i]);
    p.setPen(QPen(QColor(90, 100, 130), r * 0.015));
    p.setBrush(sheen);
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(255, 255, 255, 60));
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, r * 0.42, r * 0.42);
    p.setBrush(QColor(200, 205, 215));
    p.setPen(QPen(QColor(120, 125, 140), r * 0.01));
    p.drawEllipse(c, r * 0.2, r * 0.2);
    p.setBrush(QColor(20, 25, 45));
    p.drawEllipse(c, r * 0.08, r * 0.08);
    p.restore();
}

// A staff of five lines drifting across the picture, with a few notes on it.
void drawStaff(QPainter &p, const QRectF &area, qreal y0, qreal gap, const QColor &ink)
{
    p.save();
    p.setPen(QPen(ink, 1.2));
    for (int line = 0; line < 5; ++line) {
        QPainterPath path;
        const qreal y = y0 + line * gap;
        path.moveTo(area.left(), y);
        path.cubicTo(area.left() + area.width() * 0.35, y - gap * 3,
                     area.left() + area.width() * 0.65, y + gap * 3, area.right(), y);
        p.drawPath(path);
    }
    p.setBrush(ink);
    const qreal xs[] = {0.12, 0.2, 0.31, 0.44, 0.58, 0.7, 0.83};
    const int steps[] = {3, 1, 4, 2, 5, 2, 3};
    for (int i = 0; i < 7; ++i) {
        const qreal x = area.left() + area.width() * xs[i];
        const qreal t = xs[i];
        const qreal bend = gap * 3 * (3 * t * (1 - t) * (1 - t) * -1 + 3 * t * t * (1 - t));
        const qreal y = y0 + steps[i] * gap / 2 + bend;
        p.save();
        p.translate(x, y);
        p.rotate(-20);
        p.drawEllipse(QPointF(0, 0), gap * 0.62, gap * 0.45);
        p.restore();
        p.drawRect(QRectF(x + gap * 0.5, y - gap * 3.2, 1.4, gap * 3.2));
    }
    p.restore();
}

QImage menuBackground()
{
    QImage img(369, 222, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 369, 222);
    sky.setColorAt(0, QColor(18, 32, 78));
    sky.setColorAt(0.55, QColor(36, 70, 140));
    sky.setColorAt(1, QColor(12, 22, 58));
    p.fillRect(img.rect(), sky);
    drawStaff(p, QRectF(-10, 0, 390, 222), 150, 7, QColor(255, 255, 255, 45));
    drawDisc(p, QPointF(300, 160), 95, 0.35);
    QRadialGradient glow(QPointF(60, 30), 180);
    glow.setColorAt(0, QColor(255, 255, 255, 40));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(img.rect(), glow);
    return img;
}

QImage aboutBackground()
{
    QImage img(420, 300, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 300);
    g.setColorAt(0, QColor(60, 20, 80));
    g.setColorAt(0.5, QColor(30, 40, 110));
    g.setColorAt(1, QColor(10, 15, 45));
    p.fillRect(img.rect(), g);
    drawDisc(p, QPointF(350, 70), 110, 0.3);
    drawStaff(p, QRectF(-10, 0, 440, 300), 210, 8, QColor(255, 255, 255, 40));
    return img;
}

QImage defaultSkin()
{
    QImage img(1280, 960, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 1280, 960);
    g.setColorAt(0, QColor(14, 40, 70));
    g.setColorAt(0.5, QColor(25, 75, 110));
    g.setColorAt(1, QColor(10, 30, 55));
    p.fillRect(img.rect(), g);
    for (int i = 0; i < 4; ++i)
        drawStaff(p, QRectF(-40, 0, 1360, 960), 180 + i * 210, 11, QColor(255, 255, 255, 22));
    drawDisc(p, QPointF(1080, 760), 330, 0.18);
    drawDisc(p, QPointF(160, 120), 120, 0.12);
    return img;
}

// Glyphs: 32x32 pictures on a transparent ground, shown at 16 or 24 pixels.
using Draw = std::function<void(QPainter &)>;

QImage glyph(const Draw &draw)
{
    QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return img;
}

void writeGlyphs()
{
    const QColor ink(30, 45, 100);
    const QPen pen(ink, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    save(glyph([](QPainter &p) { drawDisc(p, QPointF(16, 16), 14); }), QStringLiteral("glyphs/cd.png"));
    save(glyph([&](QPainter &p) { // settings: three sliders
             p.setPen(pen);
             for (int i = 0; i < 3; ++i) {
                 const qreal y = 8 + i * 8;
                 p.drawLine(QPointF(4, y), QPointF(28, y));
                 p.setBrush(QColor(240, 170, 40));
                 p.drawEllipse(QPointF(10 + i * 7, y), 3.5, 3.5);
             }
         }),
         QStringLiteral("glyphs/impostazioni.png"));
    save(glyph([&](QPainter &p) { // statistics: bars
             p.setPen(QPen(ink, 1.5));
             const QColor colours[] = {QColor(220, 60, 60), QColor(60, 160, 80), QColor(60, 110, 220)};
             const int heights[] = {12, 22, 17};
             for (int i = 0; i < 3; ++i) {
                 p.setBrush(colours[i]);
                 p.drawRect(QRectF(5 + i * 8, 28 - heights[i], 6, heights[i]));
             }
             p.drawLine(QPointF(3, 28.5), QPointF(29, 28.5));
         }),
         QStringLiteral("glyphs/statistiche.png"));
    save(glyph([&](QPainter &p) { // manual: an open book
             p.setPen(QPen(ink, 1.6));
             p.setBrush(QColor(250, 245, 225));
             p.drawPolygon(QPolygonF({QPointF(16, 9), QPointF(3, 6), QPointF(3, 25), QPointF(16, 28)}));
             p.drawPolygon(QPolygonF({QPointF(16, 9), QPointF(29, 6), QPointF(29, 25), QPointF(16, 28)}));
             for (int i = 0; i < 3; ++i) {
                 p.drawLine(QPointF(6, 12 + i * 4), QPointF(13, 13.5 + i * 4));
                 p.drawLine(QPointF(19, 13.5 + i * 4), QPointF(26, 12 + i * 4));
             }
         }),
         QStringLiteral("glyphs/manuale.png"));
    save(glyph([&](QPainter &p) { // author: a person
             p.setPen(QPen(ink, 1.5));
             p.setBrush(QColor(240, 200, 150));
             p.drawEllipse(QPointF(16, 10), 6, 6);
             p.setBrush(QColor(60, 110, 200));
             QPainterPath body;
             body.moveTo(5, 29);
             body.cubicTo(5, 17, 27, 17, 27, 29);
             body.closeSubpath();
             p.drawPath(body);
         }),
         QStringLiteral("glyphs/autore.png"));
    save(glyph([&](QPainter &p) { // backup: a floppy disk
             p.setPen(QPen(ink, 1.5));
             p.setBrush(QColor(50, 70, 130));
             p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
             p.setBrush(QColor(210, 215, 225));
             p.drawRect(QRectF(9, 4, 14, 8));
             p.setBrush(QColor(250, 250, 250));
             p.drawRect(QRectF(8, 17, 16, 11));
         }),
         QStringLiteral("glyphs/backup.png"));
    save(glyph([&](QPainter &p) { // lists: lines with bullets
             p.setPen(pen);
             for (int i = 0; i < 4; ++i) {
                 const qreal y = 7 + i * 6;
                 p.drawPoint(QPointF(5, y));
                 p.drawLine(QPointF(10, y), QPointF(28, y));
             }
         }),
         QStringLiteral("glyphs/liste.png"));
    save(glyph([&](QPainter &p) { // exit: a door with an arrow
             p.setPen(QPen(ink, 1.5));
             p.setBrush(QColor(170, 110, 60));
             p.drawRect(QRectF(5, 4, 14, 25));
             p.setPen(QPen(QColor(200, 40, 40), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
             p.drawLine(QPointF(14, 16), QPointF(28, 16));
             p.drawPolyline(QPolygonF({QPointF(23, 11), QPointF(28, 16), QPointF(23, 21)}));
         }),
         QStringLiteral("glyphs/esci.png"));
    save(glyph([&](QPainter &p) { // print: a printer
             p.setPen(QPen(ink, 1.5));
             p.setBrush(QColor(250, 250, 250));
             p.drawRect(QRectF(9, 3, 14, 10));
             p.setBrush(QColor(120, 130, 150));
             p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
             p.setBrush(QColor(250, 250, 250));
             p.drawRect(QRectF(9, 19, 14, 10));
         }),
         QStringLiteral("glyphs/stampa.png"));
    save(glyph([&](QPainter &p) { // charts: a rising line over bars
             p.setPen(QPen(ink, 1.2));
             p.setBrush(QColor(120, 170, 230));
             for (int i = 0; i < 4; ++i)
                 p.drawRect(QRectF(4 + i * 6.5, 28 - (6 + i * 5), 5, 6 + i * 5));
             p.setPen(QPen(QColor(220, 60, 60), 2.2, Qt::SolidLine, Qt::RoundCap));
             p.drawPolyline(QPolygonF({QPointF(4, 20), QPointF(12, 14), QPointF(19, 15), QPointF(28, 4)}));
         }),
         QStringLiteral("glyphs/grafici.png"));
    save(glyph([&](QPainter &p) { // search: a magnifying glass
             p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
             p.setBrush(QColor(200, 230, 255, 160));
             p.drawEllipse(QPointF(13, 13), 8, 8);
             p.drawLine(QPointF(19, 19), QPointF(28, 28));
         }),
         QStringLiteral("glyphs/trova.png"));
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    save(menuBackground(), QStringLiteral("pictures/principale.png"));
    save(aboutBackground(), QStringLiteral("pictures/autore.png"));
    save(defaultSkin(), QStringLiteral("skin/sonaro.jpg"), "JPEG", 88);
    writeGlyphs();
    return 0;
}
