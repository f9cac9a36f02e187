#include "csv.h"

#include <QDir>

#include <charconv>
#include <cmath>

static QString number(double v)
{
    if (std::isfinite(v) && std::floor(v) == v && std::fabs(v) < 1e15)
        return QString::number(qint64(v));
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    return QString::fromLatin1(buf, int(res.ptr - buf));
}

static QString quoted(const QString &s)
{
    if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"')) && !s.contains(QLatin1Char('\n'))
        && !s.contains(QLatin1Char('\r')))
        return s;
    QString q = s;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString csvValue(FieldType type, const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QString();
    switch (type) {
    case FieldType::Integer:
        return QString::number(v.toLongLong());
    case FieldType::Float:
        return number(v.toDouble());
    case FieldType::Date:
        return v.toDate().toString(Qt::ISODate);
    case FieldType::Picture:
        return QString::fromLatin1(v.toByteArray().toBase64());
    default:
        return quoted(v.toString());
    }
}

QByteArray datasetToCsv(DataSet &ds)
{
    QString out;
    QStringList header;
    for (int c = 0; c < ds.fieldCount(); ++c)
        header << quoted(ds.field(c)->fieldName());
    out += header.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    QByteArray bytes = out.toUtf8();
    const int rows = ds.recordCount();
    for (int r = 0; r < rows; ++r) {
        QStringList line;
        for (int c = 0; c < ds.fieldCount(); ++c)
            line << csvValue(ds.field(c)->dataType(), ds.valueAt(r, c));
        bytes += (line.join(QLatin1Char(',')) + QStringLiteral("\r\n")).toUtf8();
    }
    return bytes;
}

QByteArray runStatementToCsv(const QString &dir, const QString &statement)
{
    const QString previous = QDir::currentPath();
    if (!QDir::setCurrent(dir))
        throw EngineError(QStringLiteral("Cannot open the folder %1").arg(dir));
    struct Back {
        QString path;
        ~Back() { QDir::setCurrent(path); }
    } back{previous};
    Query q(QStringLiteral("sonaroSql"));
    q.addSql(statement);
    q.open();
    return datasetToCsv(q);
}
