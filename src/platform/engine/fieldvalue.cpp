#include "fieldvalue.h"

#include <QLocale>
#include <QRegularExpression>

int expandTwoDigitYear(int yy)
{
    return yy < 50 ? 2000 + yy : 1900 + yy;
}

static QDate dmy(int d, int m, int y, bool twoDigits)
{
    if (twoDigits)
        y = expandTwoDigitYear(y);
    return QDate(y, m, d);
}

QDate parseSqlDate(const QString &text)
{
    const QString s = text.trimmed();
    static const QRegularExpression us(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{2}|\\d{4})$"));
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    if (auto m = us.match(s); m.hasMatch())
        return dmy(m.captured(2).toInt(), m.captured(1).toInt(), m.captured(3).toInt(),
                   m.captured(3).size() == 2);
    if (auto m = iso.match(s); m.hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    return QDate();
}

QDate parseUserDate(const QString &text)
{
    const QString s = text.trimmed();
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    if (auto m = iso.match(s); m.hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    static const QRegularExpression parts(QStringLiteral("^(\\d{1,4})[/.\\-](\\d{1,2})[/.\\-](\\d{1,4})$"));
    const auto m = parts.match(s);
    if (!m.hasMatch())
        return QDate();
    // The order of day, month and year follows the locale's short format.
    const QString fmt = QLocale().dateFormat(QLocale::ShortFormat).toLower();
    const qsizetype dPos = fmt.indexOf(QLatin1Char('d')), mPos = fmt.indexOf(QLatin1Char('m')),
                    yPos = fmt.indexOf(QLatin1Char('y'));
    int order[3] = {0, 1, 2}; // which capture holds day, month, year
    if (yPos < mPos && mPos < dPos) { order[0] = 2; order[1] = 1; order[2] = 0; }
    else if (mPos < dPos) { order[0] = 1; order[1] = 0; order[2] = 2; }
    const QString y = m.captured(order[2] + 1);
    if (y.size() != 2 && y.size() != 4)
        return QDate();
    return dmy(m.captured(order[0] + 1).toInt(), m.captured(order[1] + 1).toInt(), y.toInt(),
               y.size() == 2);
}

QString shortDateFormat()
{
    QString fmt = QLocale().dateFormat(QLocale::ShortFormat);
    if (!fmt.contains(QLatin1String("yyyy")))
        fmt.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return fmt;
}

QString formatUserDate(const QDate &d)
{
    return d.isValid() ? QLocale().toString(d, shortDateFormat()) : QString();
}

QDate dateFromStored(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QDate();
    return QDate::fromString(v.toString().left(10), Qt::ISODate);
}

QString dateToStored(const QDate &d)
{
    return d.toString(Qt::ISODate);
}

static double parseNumber(const QString &text, bool *ok)
{
    const QString s = text.trimmed();
    double v = QLocale().toDouble(s, ok);
    if (!*ok)
        v = QLocale::c().toDouble(s, ok);
    return v;
}

static bool isBlank(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return true;
    if (v.typeId() == QMetaType::QString)
        return v.toString().isEmpty();
    return false;
}

static QVariant toNumber(FieldType type, const QVariant &v)
{
    const bool textual = v.typeId() == QMetaType::QString;
    bool ok = true;
    if (type == FieldType::Integer) {
        qlonglong n = 0;
        if (textual) {
            n = v.toString().trimmed().toLongLong(&ok);
        } else {
            const double f = v.toDouble(&ok);
            n = qlonglong(f);
            ok = ok && double(n) == f;
        }
        if (!ok || n < INT32_MIN || n > INT32_MAX)
            throw EngineError(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
        return QVariant(n);
    }
    const double f = textual ? parseNumber(v.toString(), &ok) : v.toDouble(&ok);
    if (!ok)
        throw EngineError(QStringLiteral("'%1' is not a valid floating point value").arg(v.toString()));
    return QVariant(f);
}

QVariant toStored(FieldType type, const QVariant &v, int size)
{
    if (type == FieldType::Picture)
        return isBlank(v) ? QVariant() : QVariant(v.toByteArray());
    if (isBlank(v))
        return QVariant();
    switch (type) {
    case FieldType::Text: {
        QString s = v.toString();
        if (size > 0 && s.size() > size) {
            s.truncate(size);
            if (s.back().isHighSurrogate()) // never store half of a character
                s.chop(1);
        }
        return s;
    }
    case FieldType::Memo:
        return v.typeId() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()) : v.toString();
    case FieldType::Integer:
    case FieldType::Float:
        return toNumber(type, v);
    case FieldType::Date: {
        QDate d = v.typeId() == QMetaType::QDate ? v.toDate() : QDate();
        if (v.typeId() == QMetaType::QDateTime)
            d = v.toDateTime().date();
        else if (v.typeId() != QMetaType::QDate)
            d = parseUserDate(v.toString());
        if (!d.isValid())
            throw EngineError(QStringLiteral("'%1' is not a valid date").arg(v.toString()));
        return dateToStored(d);
    }
    case FieldType::Picture:
        break;
    }
    return v;
}

QString storedToString(FieldType type, const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QString();
    switch (type) {
    case FieldType::Integer:
        return QString::number(v.toLongLong());
    case FieldType::Float: {
        QLocale loc;
        loc.setNumberOptions(QLocale::OmitGroupSeparator);
        return loc.toString(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    }
    case FieldType::Date:
        return formatUserDate(dateFromStored(v));
    case FieldType::Picture:
        return QString::fromLatin1(v.toByteArray());
    default:
        return v.toString();
    }
}
