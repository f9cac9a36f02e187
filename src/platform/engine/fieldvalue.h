#pragma once
// Conversions between the values callers hand over and what the store keeps:
// text (blank is NULL), integer, float, date as 'YYYY-MM-DD' text, memo text, picture bytes.
#include "dataset.h"

#include <QDate>
#include <QVariant>

// Two-digit years: 00-49 are 2000-2049, 50-99 are 1950-1999.
int expandTwoDigitYear(int yy);

// Date literals of the SQL dialect: 'mm/dd/yy', 'mm/dd/yyyy' or 'yyyy-mm-dd'.
QDate parseSqlDate(const QString &s);

// A date typed by the user: the locale's short format (day, month, year order for Italian),
// with two- or four-digit years; ISO 'yyyy-mm-dd' is accepted too.
QDate parseUserDate(const QString &s);

// The locale's short date format with a two-digit year widened to four (dd/MM/yyyy in
// Italian), so a shown date typed back in never changes century.
QString shortDateFormat();
QString formatUserDate(const QDate &d);

QDate dateFromStored(const QVariant &v);
QString dateToStored(const QDate &d);

// The value to store for `v` assigned to a field of this type; a text is cut to `size`.
// Throws EngineError with the runtime's conversion texts ("'x' is not a valid date" ...).
QVariant toStored(FieldType type, const QVariant &v, int size);

// A stored value read as text, the way Field::asString gives it.
QString storedToString(FieldType type, const QVariant &v);
