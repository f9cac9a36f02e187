#include "reporttext.h"

#include <QFontMetricsF>
#include <QImage>

namespace {

// Text is measured at 1200 dots per inch whatever device it will be drawn on.
constexpr int kMeasureDpi = 1200;
constexpr double kMmPerDot = 25.4 / kMeasureDpi;

const QImage &measureDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = qRound(kMeasureDpi / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image;
    }();
    return device;
}

} // namespace

QFont ReportFonts::makeFont(const ReportFont &described)
{
    QFont font(described.family);
    font.setPointSizeF(described.pointSize);
    font.setBold(described.bold);
    font.setItalic(described.italic);
    font.setUnderline(described.underline);
    font.setFixedPitch(described.fixedPitch);
    // Linear metrics: what is measured here is what every device draws.
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

int ReportFonts::add(const ReportFont &described)
{
    for (int i = 0; i < count(); ++i)
        if (fonts_[i].described == described)
            return i;
    Entry e;
    e.described = described;
    e.font = makeFont(described);
    const QFontMetricsF fm(e.font, &measureDevice());
    e.ascent = fm.ascent() * kMmPerDot;
    e.height = fm.height() * kMmPerDot;
    e.latin1.assign(256, -1.0f);
    fonts_.push_back(std::move(e));
    return count() - 1;
}

double ReportFonts::width(int index, const QString &text) const
{
    const Entry &e = fonts_[index];
    double dots = 0;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u > 0xff) // outside the cache: measure the whole text as one run
            return QFontMetricsF(e.font, &measureDevice()).horizontalAdvance(text) * kMmPerDot;
        float &advance = e.latin1[u];
        if (advance < 0)
            advance = float(QFontMetricsF(e.font, &measureDevice()).horizontalAdvance(c));
        dots += advance;
    }
    return dots * kMmPerDot;
}

QStringList reportParagraphs(const QString &text)
{
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return {text};
    QString unified = text;
    unified.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    unified.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return unified.split(QLatin1Char('\n'));
}

QString cutReportText(const ReportFonts &fonts, int font, const QString &text, double width)
{
    if (fonts.width(font, text) <= width)
        return text;
    int lo = 0, hi = int(text.size()); // the longest fitting prefix has length in [lo, hi)
    while (hi - lo > 1) {
        const int mid = (lo + hi) / 2;
        if (fonts.width(font, text.left(mid)) <= width)
            lo = mid;
        else
            hi = mid;
    }
    return text.left(lo);
}

namespace {

// Wraps one paragraph, appending its lines to `out`.
void wrapParagraph(const ReportFonts &fonts, int font, const QString &para, double width,
                   QStringList &out)
{
    QString rest = para;
    while (fonts.width(font, rest) > width) {
        QString head = cutReportText(fonts, font, rest, width);
        // Prefer to break at the last blank that fits; a long word is cut where it must be.
        const qsizetype blank = head.size() < rest.size() && rest.at(head.size()) == QLatin1Char(' ')
                                    ? head.size()
                                    : head.lastIndexOf(QLatin1Char(' '));
        if (blank > 0)
            head = rest.left(blank);
        if (head.isEmpty()) // not even one character fits
            head = rest.left(1);
        out.append(head);
        rest = rest.mid(head.size());
        while (rest.startsWith(QLatin1Char(' ')))
            rest.remove(0, 1);
        if (rest.isEmpty())
            return;
    }
    out.append(rest);
}

} // namespace

QStringList wrapReportText(const ReportFonts &fonts, int font, const QString &text, double width)
{
    QStringList lines;
    for (const QString &para : reportParagraphs(text))
        wrapParagraph(fonts, font, para, width, lines);
    return lines;
}
