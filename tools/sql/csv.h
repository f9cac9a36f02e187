#pragma once
// RFC 4180 CSV of a dataset's rows: numbers in the C locale (shortest round-trip form,
// 12.0 as 12), dates as YYYY-MM-DD, blanks empty, pictures in base64, CR LF line ends.
#include <QByteArray>
#include <QString>
#include <QVariant>

#include "dataset.h"

QString csvValue(FieldType type, const QVariant &value);
QByteArray datasetToCsv(DataSet &ds); // header row of field names, then every row

// Runs `statement` on the catalogue in `dir`; throws EngineError. For sonaro-sql and tests.
QByteArray runStatementToCsv(const QString &dir, const QString &statement);
