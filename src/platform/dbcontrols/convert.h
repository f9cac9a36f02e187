#pragma once
// Conversions the windows share: typed dates in the user's short date format, and picture
// files loaded as the toolkit's loader knows them.
#include <QDate>
#include <QPixmap>
#include <QString>

class Field;

// Converts a date typed in the order of the user's short date format (day, month, year for
// Italy); two-digit years are 2000-2049 for 00-49 and 1950-1999 for 50-99, as everywhere in
// the program. Throws RuntimeError with "'<text>' is not a valid date".
QDate strToDate(const QString &text);

// A date as date boxes show it: the user's short date format with a four-digit year
// (14/06/1994 in Italian), so a date typed back as shown keeps its century.
QString dateToStr(const QDate &date);

// Loads a picture file (BMP, JPEG, PNG, icon ...). Throws RuntimeError naming the file
// when it is missing, unreadable or not a picture.
QPixmap loadPicture(const QString &path);

// Writes text typed by the user into a field, converting it to the field's type the way
// the user types it (locale numbers, short dates); a blank text clears a typed field.
// Throws RuntimeError with the runtime's conversion message.
void assignText(Field *field, const QString &text);
