#include "datasetimpl.h"
#include "fieldvalue.h"

#include <QFile>
#include <QLocale>

#include <cmath>

EngineError::EngineError(const QString &text) : std::runtime_error(text.toStdString()), text_(text) {}

Field::Field(DataSet *owner, QString name, FieldType type, int size, int index)
    : owner_(owner), name_(std::move(name)), type_(type), size_(size), index_(index)
{
}

QVariant publicValue(FieldType type, const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    switch (type) {
    case FieldType::Integer:
        return QVariant(qint32(v.toLongLong()));
    case FieldType::Float:
        return QVariant(v.toDouble());
    case FieldType::Date: {
        const QDate d = dateFromStored(v);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case FieldType::Picture:
        return QVariant(v.toByteArray());
    default: {
        const QString s = v.typeId() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()) : v.toString();
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    }
}

// "0,.00": a ',' asks for thousands separators, the digits after '.' give the decimals.
static QString formatNumber(double v, const QString &format)
{
    QLocale loc;
    if (!format.contains(QLatin1Char(',')))
        loc.setNumberOptions(QLocale::OmitGroupSeparator);
    const qsizetype dot = format.indexOf(QLatin1Char('.'));
    int decimals = 0;
    for (qsizetype i = dot + 1; dot >= 0 && i < format.size(); ++i)
        if (format[i] == QLatin1Char('0') || format[i] == QLatin1Char('#'))
            ++decimals;
    return loc.toString(v, 'f', decimals);
}

QString formatFieldValue(FieldType type, const QVariant &v, const QString &displayFormat)
{
    const bool blank = !v.isValid() || v.isNull();
    switch (type) {
    case FieldType::Memo:
        return blank || v.toString().isEmpty() ? QStringLiteral("(Memo)") : QStringLiteral("(MEMO)");
    case FieldType::Picture:
        return blank || v.toByteArray().isEmpty() ? QStringLiteral("(Graphic)") : QStringLiteral("(GRAPHIC)");
    default:
        break;
    }
    if (blank)
        return QString();
    switch (type) {
    case FieldType::Integer:
    case FieldType::Float:
        if (!displayFormat.isEmpty())
            return formatNumber(v.toDouble(), displayFormat);
        return storedToString(type, v);
    case FieldType::Date: {
        const QDate d = v.typeId() == QMetaType::QDate ? v.toDate() : dateFromStored(v);
        return formatUserDate(d);
    }
    default:
        return v.toString();
    }
}

QVariant Field::value() const
{
    return publicValue(type_, owner_->fieldStored(this));
}

bool Field::isNull() const
{
    return !value().isValid();
}

QString Field::asString() const
{
    return storedToString(type_, owner_->fieldStored(this));
}

qint32 Field::asInteger() const
{
    const QVariant v = owner_->fieldStored(this);
    if (!v.isValid() || v.isNull())
        return 0;
    if (type_ == FieldType::Float)
        return qint32(std::lround(v.toDouble()));
    return qint32(toStored(FieldType::Integer, v.typeId() == QMetaType::QString ? QVariant(v.toString().trimmed()) : v, 0)
                      .toLongLong());
}

double Field::asFloat() const
{
    const QVariant v = owner_->fieldStored(this);
    if (!v.isValid() || v.isNull())
        return 0.0;
    return toStored(FieldType::Float, v, 0).toDouble();
}

QDate Field::asDate() const
{
    const QVariant v = owner_->fieldStored(this);
    if (type_ == FieldType::Date)
        return dateFromStored(v);
    return v.isValid() ? parseUserDate(v.toString()) : QDate();
}

QByteArray Field::asBytes() const
{
    const QVariant v = owner_->fieldStored(this);
    if (v.typeId() == QMetaType::QByteArray)
        return v.toByteArray();
    return v.toString().toUtf8();
}

QString Field::displayText() const
{
    return formatFieldValue(type_, value(), displayFormat_);
}

void Field::setValue(const QVariant &v)
{
    owner_->setFieldStored(this, toStored(type_, v, size_));
}

void Field::setAsString(const QString &s)
{
    setValue(QVariant(s));
}

void Field::setAsInteger(qint32 v)
{
    setValue(QVariant(v));
}

void Field::setAsFloat(double v)
{
    setValue(QVariant(v));
}

void Field::setAsDate(const QDate &d)
{
    setValue(d.isValid() ? QVariant(d) : QVariant());
}

void Field::setAsBytes(const QByteArray &b)
{
    setValue(type_ == FieldType::Picture ? QVariant(b) : QVariant(QString::fromUtf8(b)));
}

void Field::clear()
{
    setValue(QVariant());
}

// The system's 8-bit code page (Windows-1252) for text files.
static QString fromCp1252(const QByteArray &b);
static QByteArray toCp1252(const QString &s);

void Field::loadFromFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EngineError(QStringLiteral("Cannot open file %1").arg(path));
    const QByteArray bytes = f.readAll();
    if (type_ == FieldType::Picture)
        setValue(QVariant(bytes));
    else
        setValue(QVariant(fromCp1252(bytes)));
}

void Field::saveToFile(const QString &path) const
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EngineError(QStringLiteral("Cannot create file %1").arg(path));
    QByteArray out;
    if (type_ == FieldType::Picture) {
        out = asBytes();
    } else {
        QString text = asString();
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        out = toCp1252(text);
    }
    if (f.write(out) != out.size())
        throw EngineError(QStringLiteral("Cannot write file %1").arg(path));
}

static const char16_t cp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

static QString fromCp1252(const QByteArray &b)
{
    QString s;
    s.reserve(b.size());
    for (const char c : b) {
        const auto u = static_cast<unsigned char>(c);
        s += (u >= 0x80 && u < 0xA0) ? QChar(cp1252High[u - 0x80]) : QChar(u);
    }
    return s;
}

static QByteArray toCp1252(const QString &s)
{
    QByteArray out;
    out.reserve(s.size());
    for (const QChar ch : s) {
        const char16_t u = ch.unicode();
        char c = '?';
        if (u < 0x80 || (u >= 0xA0 && u < 0x100))
            c = char(u);
        else
            for (int i = 0; i < 32; ++i)
                if (cp1252High[i] == u && u != 0xFFFD)
                    c = char(0x80 + i);
        out += c;
    }
    return out;
}
