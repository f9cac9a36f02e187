#include "convert.h"

#include "dataset.h"
#include "errorbox.h"
#include "fieldvalue.h"

#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <QRegularExpression>

namespace {

// Positions of day, month and year in the locale's short date format.
struct DateOrder {
    int day = 0, month = 1, year = 2;
};

DateOrder shortDateOrder()
{
    const QString format = QLocale().dateFormat(QLocale::ShortFormat);
    const qsizetype d = format.indexOf(QLatin1Char('d'));
    const qsizetype m = format.indexOf(QLatin1Char('M'));
    const qsizetype y = format.indexOf(QLatin1Char('y'));
    DateOrder order;
    if (d < 0 || m < 0 || y < 0)
        return order;
    auto rank = [&](qsizetype p) { return int(p > d) + int(p > m) + int(p > y); };
    order.day = rank(d);
    order.month = rank(m);
    order.year = rank(y);
    return order;
}

// Two typed digits follow the engine's window (00-49 are 2000-2049, 50-99 are 1950-1999), so
// a date means the same year whether it is typed in a box or written in a statement.
int fullYear(int year, qsizetype typedDigits)
{
    return typedDigits > 2 ? year : expandTwoDigitYear(year);
}

} // namespace

QDate strToDate(const QString &text)
{
    // The runtime's own conversion message, as the windows have always shown it.
    const auto invalid = [&] {
        return RuntimeError(QStringLiteral("'%1' is not a valid date").arg(text));
    };
    static const QRegularExpression separators(QStringLiteral("[^0-9]+"));
    const QStringList parts = text.trimmed().split(separators, Qt::SkipEmptyParts);
    const qsizetype separatorsRun = text.trimmed().count(separators);
    if (parts.size() < 2 || parts.size() > 3 || separatorsRun >= parts.size())
        throw invalid();
    const DateOrder order = shortDateOrder();
    int values[3] = {0, 0, 0};
    qsizetype yearDigits = 4;
    if (parts.size() == 2) {
        // Day and month only: the current year, as people type it.
        const bool dayFirst = order.day < order.month;
        values[0] = parts[dayFirst ? 0 : 1].toInt();
        values[1] = parts[dayFirst ? 1 : 0].toInt();
        values[2] = QDate::currentDate().year();
    } else {
        values[0] = parts[order.day].toInt();
        values[1] = parts[order.month].toInt();
        values[2] = parts[order.year].toInt();
        yearDigits = parts[order.year].size();
        // Three digits or more than four are a typing slip, not a year of long ago.
        if (yearDigits == 3 || yearDigits > 4)
            throw invalid();
    }
    const QDate date(fullYear(values[2], yearDigits), values[1], values[0]);
    if (!date.isValid())
        throw invalid();
    return date;
}

QString dateToStr(const QDate &date)
{
    return formatUserDate(date);
}

QPixmap loadPicture(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        throw RuntimeError(QStringLiteral("Impossibile aprire il file \"%1\".").arg(path));
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull())
        throw RuntimeError(QStringLiteral("Il file \"%1\" non contiene un'immagine valida (%2).")
                               .arg(path, reader.errorString()));
    return QPixmap::fromImage(image);
}

void assignText(Field *f, const QString &text)
{
    const FieldType type = f->dataType();
    if (type == FieldType::Text || type == FieldType::Memo) {
        f->setAsString(text);
        return;
    }
    if (text.trimmed().isEmpty()) {
        f->clear();
        return;
    }
    bool ok = false;
    switch (type) {
    case FieldType::Integer: {
        const qint32 v = QLocale().toInt(text.trimmed(), &ok);
        if (!ok)
            throw RuntimeError(QStringLiteral("'%1' non \u00E8 un numero intero valido").arg(text));
        f->setAsInteger(v);
        return;
    }
    case FieldType::Float: {
        const double v = QLocale().toDouble(text.trimmed(), &ok);
        if (!ok)
            throw RuntimeError(
                QStringLiteral("'%1' non \u00E8 un numero valido").arg(text));
        f->setAsFloat(v);
        return;
    }
    case FieldType::Date:
        f->setAsDate(strToDate(text));
        return;
    default:
        f->setAsString(text);
    }
}
