#pragma once
// A small catalogue with known CDs and tracks, made in a temporary current directory.
#include "qstringprint.h"
#include "catalogo.h"
#include "dataset.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable failure messages.
// Adds one record: pairs of field name and value, posted through the engine.
void addRecord(Table &t, const QStringList &namesAndValues);

// The rows of an open dataset, each as its CSV values joined by '|'.
QStringList rowsOf(DataSet &ds);

// The bytes of a table file, to show that nothing changed on disk.
QByteArray fileBytes(const QString &name);

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override;
    std::unique_ptr<catalogo::TempCatalogue> cat;
};
